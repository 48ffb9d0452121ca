#include "memo/memo_name.h"

#include "platform/work_files.h"

namespace pado {

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
    if (auto file = files::ProgramFileNamed(ToUtf8(name + U".txt")); !file.empty())
        return quoted + U"PADO が使うファイル(" + FromUtf8(file) + U")と同じ名前です。別の名前にしてください。";
    if (ToUtf8(name).size() + 4 > 255)
        return quoted + U"名前が長すぎます。";
    return {};
}

} // namespace pado
