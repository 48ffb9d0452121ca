#pragma once

#include <utility>

#include "platform/controls.h"
#include "shape/field_picture.h"

namespace pado {

// The picture of the field as a control model: the front end draws it, the replay prints it.
class PictureModel : public Observable {
public:
    const RacePicture& Get() const { return picture_; }
    void Set(RacePicture p)
    {
        picture_ = std::move(p);
        Notify();
    }

private:
    RacePicture picture_;
};

} // namespace pado
