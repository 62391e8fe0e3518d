// Shared ownership by explicit counting: views, bitmaps and draw contexts start with one
// reference and destroy themselves when the last one is forgotten.
#pragma once

#include <cstdint>

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    virtual ~CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    virtual void forget() {
        if (nbReference-- == 1) delete this;
    }
    virtual void remember() { ++nbReference; }
    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};
