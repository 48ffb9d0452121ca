#pragma once

#include "platform/text.h"

namespace pado {

// The memo's file name, derived from the first line of its text (up to the first line break):
// a line ending in "登録" that names a "回特別登録" loses everything from four characters before
// that phrase, so a nomination title saves under the race title; any other line is the name.
Text MemoName(const Text& memoText);

// Why a memo name cannot be used, empty when it can. The name comes from free text, so it must
// not reach outside the program folder, nor name a file the program reads or overwrites itself.
Text MemoNameProblem(const Text& name);

} // namespace pado
