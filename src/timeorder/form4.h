#pragma once

#include "app/form.h"

namespace pado {

// The distance and time order window "距離＆タイム順".
class Form4 : public Form {
public:
    explicit Form4(App& app);

    TextPane Text1;
    ImageButton Image1, Image2, Image3;
};

}  // namespace pado
