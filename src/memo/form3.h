#pragma once

#include "app/form.h"

namespace pado {

// The memo pad "メモ用紙": free text saved to and opened from files named by its first line.
class Form3 : public Form {
public:
    explicit Form3(App& app);

    TextPane Text1;
    ImageButton Image1, Image2;
};

}  // namespace pado
