#include "Skin.h"

#include <algorithm>

#include "About.h"
#include "Buttons.h"
#include "Dials.h"
#include "Knobs.h"
#include "Layout.h"
#include "Meter.h"
#include "Panel.h"
#include "Switch.h"

namespace skin {

std::vector<SkinImage> renderSkin() {
  Canvas panel(kEditorWidth, kEditorHeight);
  drawPanel(panel);

  std::vector<SkinImage> images;
  images.push_back(imageOf(12128, panel));
  images.push_back(renderSwitchStrip(12129, panel));
  images.push_back(renderMeterFace(12151, true));
  images.push_back(renderMeterExtra(12152));
  images.push_back(renderMeterFace(12153, false));
  images.push_back(renderKnobStrip(12171, panel, compressionDial()));
  images.push_back(renderKnobStrip(12173, panel, timeDial()));
  images.push_back(renderKnobStrip(12177, panel, outputDial()));
  images.push_back(renderKnobStrip(12181, panel, ratioDial()));
  images.push_back(renderAbout(12200));
  images.push_back(renderButtonStrip(19991, panel, kRecallA, true));
  images.push_back(renderButtonStrip(19992, panel, kRecallB, true));
  images.push_back(renderButtonStrip(19993, panel, kLoadBank, false));
  images.push_back(renderButtonStrip(19994, panel, kSaveBank, false));
  images.push_back(renderButtonStrip(19995, panel, kStoreA, true));
  images.push_back(renderButtonStrip(19996, panel, kStoreB, true));
  images.push_back(renderRockerStrip(19997, panel));
  images.push_back(renderButtonStrip(19998, panel, kLoadPreset, false));
  images.push_back(renderButtonStrip(19999, panel, kSavePreset, false));
  std::sort(images.begin(), images.end(),
            [](const SkinImage& a, const SkinImage& b) { return a.id < b.id; });
  return images;
}

}  // namespace skin
