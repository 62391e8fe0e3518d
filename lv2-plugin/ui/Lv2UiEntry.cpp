// The LV2 editor library's only export, lv2ui_descriptor: our X11 editor for the plug-in.
// It needs the host's parent window; everything else it uses only when offered, so a host
// that calls idle without listing the idle feature, or gives no instance, still gets an
// editor (without programs when the store is out of reach).
#include <lv2/core/lv2.h>
#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <lv2/atom/atom.h>

#include <cstring>

#include "lv2-plugin/ui/Lv2Ui.h"

#define KRV_EXPORT __attribute__((visibility("default")))

namespace {

using lv2front::Lv2Ui;
using lv2front::Lv2UiHost;

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The host's factor for the editor, when its options carry one as a float.
std::optional<double> scaleFactor(const LV2_Feature* const* features) {
    const auto* options = static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options));
    const auto* map = static_cast<const LV2_URID_Map*>(feature(features, LV2_URID__map));
    if (!options || !map || !map->map) return std::nullopt;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o)
        if (o->key == key && o->type == floatType && o->size == sizeof(float) && o->value) {
            const float factor = *static_cast<const float*>(o->value);
            if (factor > 0.0f) return factor;
        }
    return std::nullopt;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, lv2front::kPluginUri) != 0 || !write || !widget)
        return nullptr;
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    if (!parent) return nullptr;
    Lv2UiHost host;
    host.writePort = write;
    host.controller = controller;
    if (const auto* touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch))) {
        host.touch = touch->touch;
        host.touchHandle = touch->handle;
    }
    if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize))) {
        host.resize = resize->ui_resize;
        host.resizeHandle = resize->handle;
    }
    void* instance = const_cast<void*>(feature(features, LV2_INSTANCE_ACCESS_URI));
    const auto* access =
        static_cast<const LV2_Extension_Data_Feature*>(feature(features, LV2_DATA_ACCESS_URI));
    if (instance && access && access->data_access) {
        const auto* store =
            static_cast<const KrvStoreAccess*>(access->data_access(lv2front::kStoreAccessUri));
        if (store && store->version >= 2) {
            host.store = store;
            host.instance = instance;
        }
    }
    host.scale = scaleFactor(features);
    try {
        Lv2Ui* ui = Lv2Ui::create(host, parent);
        if (!ui) return nullptr;
        *widget = ui->widget();
        return ui;
    } catch (...) {
        // Nothing may unwind into the host.
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete static_cast<Lv2Ui*>(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    if (handle) static_cast<Lv2Ui*>(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) { return handle ? static_cast<Lv2Ui*>(handle)->idle() : 1; }

const LV2UI_Idle_Interface kIdle{idle};

const void* extensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr;
}

const LV2UI_Descriptor kDescriptor{lv2front::kUiUri, instantiate, cleanup, portEvent,
                                   extensionData};

}  // namespace

extern "C" KRV_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
