#include "platform/textfile.h"

#include <cstdio>

#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/press_files.h"
#include "platform/work_files.h"

namespace pado {

namespace {

Text NameOf(const std::string& path)
{
    return FromUtf8(fs::FileName(path));
}

// Japanese text saved as UTF-8 is often also a valid CP932 byte sequence (of nonsense characters),
// so the decoder alone cannot tell. A file that is valid UTF-8 with at least one multi-byte sequence,
// or starts with a byte-order mark, or holds NUL bytes (UTF-16), is not a CP932 race file.
bool LooksLikeOtherEncoding(const std::string& bytes)
{
    if (bytes.find('\0') != std::string::npos)
        return true;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        return true;
    bool multibyte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size() + (extra == 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        multibyte = multibyte || extra > 0;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return multibyte;
}

} // namespace

Text UnencodableMessage(char32_t c)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return U"「" + Text(1, c) + U"」(" + FromUtf8(code)
        + U")はShift-JIS(CP932)で保存できない文字です。\n"
          U"この文字を別の文字に置き換えてください。";
}

Lines DecodeTextLines(const std::string& bytes, const std::string& nameForMessages)
{
    auto text = LooksLikeOtherEncoding(bytes) ? std::nullopt : DecodeCp932(bytes);
    if (!text)
        throw UserError(U"ファイル(" + FromUtf8(nameForMessages)
            + U")はShift-JIS(CP932)の文字コードではないため読めません。\n"
              U"Shift-JISで保存し直してください。");
    Lines lines;
    const Text& t = *text;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == U'\n') {
            std::size_t end = (i > begin && t[i - 1] == U'\r') ? i - 1 : i;
            lines.push_back(t.substr(begin, end - begin));
            begin = i + 1;
        }
    }
    if (begin < t.size())
        lines.push_back(t.substr(begin));
    return lines;
}

namespace {

// A missing race file is the first thing a new user meets: say where it was looked for and how
// the race files get there.
Text MissingFileMessage(const std::string& path)
{
    Text message = U"ファイル(" + NameOf(path) + U")がありません。";
    const std::string name = fs::FileName(path);
    if (name == files::kRaceCard || name == files::kPastRuns || name == files::kRaceResults)
        message += U"\n探したフォルダー: " + FromUtf8(fs::Parent(path))
            + U"\nレースのファイル(R1.txt・Rall.txt・pado.txt)をこのフォルダーに置くか、"
              U"メンバーのウィンドウの転送ボタンで転送してから、PADOを起動し直してください。";
    return message;
}

} // namespace

Lines ReadTextFile(const std::string& path)
{
    bool deleted = false;
    if (auto known = pressfiles::Known(path, deleted))
        return *known;
    std::string bytes;
    if (deleted || !fs::IsFile(path))
        throw UserError(MissingFileMessage(path));
    if (!fs::ReadBytes(path, bytes))
        throw UserError(U"ファイル(" + NameOf(path) + U")を読めません。");
    Lines lines = DecodeTextLines(bytes, fs::FileName(path));
    pressfiles::RememberRead(path, lines);
    return lines;
}

std::string EncodeTextLines(const Lines& lines)
{
    std::string out;
    for (const auto& line : lines) {
        auto r = EncodeCp932(line);
        if (r.unencodable)
            throw UserError(UnencodableMessage(*r.unencodable));
        out += r.bytes;
        out += "\r\n";
    }
    return out;
}

void WriteTextFile(const std::string& path, const Lines& lines, bool durable)
{
    // A press's work files are encoded once, when the press ends and writes them.
    if (!durable && pressfiles::TakeWrite(path, lines))
        return;
    std::string bytes = EncodeTextLines(lines);
    pressfiles::Forget(path);
    if (!fs::WriteBytesAtomic(path, bytes, durable))
        throw UserError(U"ファイル(" + NameOf(path)
            + U")を書き込めません。\nフォルダーの書き込み権限と空き容量を確認してください。");
}

void AppendTextFile(const std::string& path, const Lines& lines)
{
    if (pressfiles::Active()) {
        Lines all = fs::IsFile(path) ? ReadTextFile(path) : Lines {};
        all.insert(all.end(), lines.begin(), lines.end());
        WriteTextFile(path, all);
        return;
    }
    std::string bytes = EncodeTextLines(lines);
    if (!fs::AppendBytes(path, bytes))
        throw UserError(U"ファイル(" + NameOf(path)
            + U")を書き込めません。\nフォルダーの書き込み権限と空き容量を確認してください。");
}

} // namespace pado
