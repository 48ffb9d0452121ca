#pragma once

#include <vector>

#include "platform/text.h"
#include "shape/running_style.h"

namespace pado {

// Where an entrant stands in the picture of the field at one corner. Depth runs from 0 (the front)
// to 1 (the back); horses running abreast share a row, inside to outside by horse number.
struct PictureMark {
    int number = 0;
    Style style = Style::Unknown;
    double place = 0; // the entrant's mean relative place at this corner
    double depth = 0; // where its row is drawn, front to back
    int row = 0; // 0 for the leading row
    int lane = 0; // 0 on the inside rail
};

struct PictureField {
    Text caption;
    std::vector<PictureMark> marks; // row by row from the front, each row inside to outside
    int rows = 0;
    int lanes = 0; // the widest row
};

struct AsideEntrant {
    int number = 0;
    Text name;
};

// The field as it is expected at the first corner and at the final turn, with the entrants whose
// style is unknown set aside.
struct RacePicture {
    PictureField firstCorner;
    PictureField finalTurn;
    std::vector<AsideEntrant> aside;
    bool Empty() const { return firstCorner.marks.empty() && aside.empty(); }
};

// A horse within this much of its row's leader runs abreast of it.
constexpr double kAbreast = 0.1;
// At most this many horses run abreast; the next one starts a row behind.
constexpr int kMaxLanes = 5;
// Rows are drawn at least this far apart (before the depths are fitted into 0 to 1).
constexpr double kRowGap = 0.06;

RacePicture PictureOf(const std::vector<EntrantStyle>& field);

// The positions as text, one line per mark, for the replay transcript.
Text PictureText(const RacePicture& picture);

} // namespace pado
