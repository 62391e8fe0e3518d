// What another application drags over the editor. Nothing in the editor takes drops, so
// the container carries only how many items are dragged.
#pragma once

#include "gui/CReferenceCounter.h"

class CDragContainer : public CReferenceCounter {
public:
    // items: 1 for a text, the number of files for a file list, else 0.
    explicit CDragContainer(int32_t items) : nbItems(items < 0 ? 0 : items) {}

    int32_t getCount() const { return nbItems; }

private:
    int32_t nbItems;
};
