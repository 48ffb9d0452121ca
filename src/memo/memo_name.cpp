#include "memo/memo_name.h"

namespace pado {

namespace {

// The input and work files of the program folder (without ".txt"); a memo of that name would be
// read as race data or destroyed by a later press.
const char32_t* const kProgramFiles[] = {
    U"R1",
    U"Rall",
    U"pado",
    U"kisyuE",
    U"repara",
    U"nowfolder",
    U"R2",
    U"R3",
    U"R10",
    U"R11",
    U"R12",
    U"R13",
    U"R14",
    U"F3",
    U"F31",
    U"himoto",
    U"hisaki",
    U"Nodata",
    U"Nokoo",
    U"Nokyo",
    U"Sentaku",
    U"Pickdoji",
};

Text AsciiLower(Text s)
{
    for (char32_t& c : s)
        if (c >= U'A' && c <= U'Z')
            c = c - U'A' + U'a';
    return s;
}

} // namespace

Text MemoName(const Text& memoText)
{
    Text first = memoText.substr(0, memoText.find(U'\n'));
    if (!first.empty() && first.back() == U'\r')
        first.pop_back();
    if (EndsWith(first, U"登録")) {
        long p = InStr(first, U"回特別登録");
        if (p > 0)
            return Left(first, p - 5);
    }
    return first;
}

Text MemoNameProblem(const Text& name)
{
    if (name.empty())
        return U"メモのファイル名がありません。\n1行目にファイル名を入力してください。";
    const Text quoted = U"ファイル名「" + name + U"」は使えません。\n";
    if (name == U"." || name == U"..")
        return quoted + U"「.」「..」だけの名前は使えません。";
    for (char32_t c : name) {
        if (c == U'/')
            return quoted + U"「/」を含む名前は使えません。";
        if (c < 0x20 || c == 0x7F)
            return quoted + U"制御文字を含む名前は使えません。";
    }
    const Text lower = AsciiLower(name);
    for (const char32_t* file : kProgramFiles)
        if (lower == AsciiLower(file))
            return quoted + U"PADO が使うファイル(" + Text(file) + U".txt)と同じ名前です。別の名前にしてください。";
    if (ToUtf8(name).size() + 4 > 255)
        return quoted + U"名前が長すぎます。";
    return {};
}

} // namespace pado
