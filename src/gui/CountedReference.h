// Holds one counted reference for a scope: a control that pumps the host from inside its
// mouse handling stays valid even when the frame lets it go meanwhile.
#pragma once

#include "gui/CReferenceCounter.h"

template <typename T>
class CountedReference {
public:
    explicit CountedReference(T* object) : object(object) {
        if (object) object->remember();
    }
    ~CountedReference() {
        if (object) object->forget();
    }
    CountedReference(const CountedReference&) = delete;
    CountedReference& operator=(const CountedReference&) = delete;

    T* get() const { return object; }

private:
    T* object;
};
