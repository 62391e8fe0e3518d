// The CLAP front end's share of the editor's controller: a user's edit reaches the host as
// gesture and value events (sent with the next process or flush call), a new size as the
// host's resize request, and the factor is the one set_scale gave. CLAP hosts call the
// editor from their main loop and never close a plug-in from inside one of our calls, so
// nothing needs holding.
#pragma once

#include <optional>

#include "effect/CoreEditController.h"

namespace clapfront {

class ClapInstance;

class ClapEditController final : public CoreEditController {
public:
    ClapEditController(AutoComp* core, ClapInstance& instance)
        : CoreEditController(core), instance(instance) {}

    void beginEdit(int index) override;
    void performEdit(int index, float value) override;
    void endEdit(int index) override;
    bool requestWindowSize(int width, int height) override;
    std::optional<double> hostScale() override { return scale; }
    void hostIdle() override {}
    void hold() override {}
    void release() override {}

    void setHostScale(double factor) { scale = factor; }

private:
    ClapInstance& instance;
    std::optional<double> scale;
};

}  // namespace clapfront
