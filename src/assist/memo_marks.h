#pragma once

#include "platform/text.h"

namespace pado {

class AssistRun;

// R2.txt while one pass marks it: the memo pad's lines, kept in memory and written once when the
// pass ends, with the same content the line-by-line rewriting after every mark would leave.
struct MemoWork {
    Lines lines;
    bool marked = false; // a mark routine ran, so its temporary copy R3.txt is gone as well
};

// The index of the memo's first entrant row (the first line beginning " 1 "), or memo.size()
// when it has none.
std::size_t FirstEntrantRow(const Lines& memo);
// Takes the memo pad's text, line by line (the line break the work file adds after the text makes
// the last piece an empty line, which is how the text comes back exactly).
MemoWork SaveMemoToWorkFile(AssistRun& run);
// Appends "-" to the rows of otherEntrant, unless a row already ends in "-".
void MarkEntrantDash(MemoWork& memo, const Text& otherEntrant);
// Appends markText to the rows of currentEntrant, whatever the row ends in.
void MarkCurrentEntrant(MemoWork& memo, const Text& currentEntrant, const Text& markText);
// Writes R2.txt as the pass leaves it; the memo pad keeps its text.
void WriteMemoWorkFile(AssistRun& run, const MemoWork& memo);
// Writes R2.txt and puts its text back into the memo pad, marks included.
void LoadMemoFromWorkFile(AssistRun& run, const MemoWork& memo);

} // namespace pado
