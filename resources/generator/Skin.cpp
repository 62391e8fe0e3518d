#include "Skin.h"

#include <algorithm>

#include "About.h"
#include "Buttons.h"
#include "Dials.h"
#include "Knobs.h"
#include "skin/SkinLayout.h"
#include "Meter.h"
#include "Panel.h"
#include "Switch.h"

namespace skin {

std::vector<SkinImage> renderSkin(double scale) {
  Canvas::setScale(scale);
  Canvas panel(kEditorWidth, kEditorHeight);
  drawPanel(panel);

  std::vector<SkinImage> images;
  images.push_back(imageOf(kBackground.id, panel));
  images.push_back(renderSwitchStrip(panel));
  images.push_back(renderMeterFace(true));
  images.push_back(renderMeterExtra());
  images.push_back(renderMeterFace(false));
  images.push_back(renderKnobStrip(panel, compressionDial()));
  images.push_back(renderKnobStrip(panel, timeDial()));
  images.push_back(renderKnobStrip(panel, outputDial()));
  images.push_back(renderKnobStrip(panel, ratioDial()));
  images.push_back(renderAbout());
  // Memory buttons have a disabled look; file buttons never show one.
  images.push_back(renderButtonStrip(kRecallA, panel, true));
  images.push_back(renderButtonStrip(kRecallB, panel, true));
  images.push_back(renderButtonStrip(kLoadBank, panel, false));
  images.push_back(renderButtonStrip(kSaveBank, panel, false));
  images.push_back(renderButtonStrip(kStoreA, panel, true));
  images.push_back(renderButtonStrip(kStoreB, panel, true));
  images.push_back(renderRockerStrip(panel));
  images.push_back(renderButtonStrip(kLoadPreset, panel, false));
  images.push_back(renderButtonStrip(kSavePreset, panel, false));
  std::sort(images.begin(), images.end(),
            [](const SkinImage& a, const SkinImage& b) { return a.id < b.id; });
  return images;
}

}  // namespace skin
