#include "platform/textfile.h"

#include <cstdio>
#include <new>
#include <stdexcept>

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
// so the decoder alone cannot tell. A file that starts with a byte-order mark or holds NUL bytes
// (UTF-16) is not a CP932 race file, nor is one that is valid UTF-8 with at least one sequence of
// three or four bytes: every kana and kanji takes three bytes in UTF-8. Two-byte sequences alone
// are no evidence, since half-width katakana next to each other or to kana in CP932 ("ﾏｲﾅｰ")
// form exactly such sequences.
bool LooksLikeOtherEncoding(const std::string& bytes)
{
    if (bytes.find('\0') != std::string::npos)
        return true;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        return true;
    bool longSequence = false;
    for (std::size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size() + (extra == 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        longSequence = longSequence || extra >= 2;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return longSequence;
}

// Whether every line of bytes ends in CR LF, the last one too: how this program writes every text file.
bool EndsEveryLineWithCrLf(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
        return false;
    for (std::size_t p = bytes.find('\n'); p != std::string::npos; p = bytes.find('\n', p + 1))
        if (p == 0 || bytes[p - 1] != '\r')
            return false;
    return true;
}

} // namespace

Text WriteProtectedMessage(const std::string& path)
{
    return U"ファイル(" + NameOf(path)
        + U")は書き込みが許可されていないため保存できません。\n"
          U"ファイルの書き込み権限(読み取り専用)を確認してください。";
}

Text UnencodableMessage(char32_t c)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return U"「" + Text(1, c) + U"」(" + FromUtf8(code)
        + U")はShift-JIS(CP932)で保存できない文字です。\n"
          U"この文字を別の文字に置き換えてください。";
}

namespace {

[[noreturn]] void NotCp932(const std::string& nameForMessages)
{
    throw UserError(U"ファイル(" + FromUtf8(nameForMessages)
        + U")はShift-JIS(CP932)の文字コードではないため読めません。\n"
          U"Shift-JISで保存し直してください。");
}

// Runs what may fail for lack of memory or of the CP932 converter, and says which file it was.
template <typename Work> auto NamingTheFile(const std::string& name, Work work)
{
    try {
        return work();
    } catch (const UserError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw UserError(U"ファイル(" + FromUtf8(name) + U")が大きすぎて、メモリーに読み込めません。");
    } catch (const std::exception&) {
        throw UserError(U"ファイル(" + FromUtf8(name)
            + U")を読めません。\nShift-JIS(CP932)の文字コード変換がこのシステムで使えません。");
    }
}

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

// The CP932 bytes of a file the press has not deleted; throws the missing and unreadable messages.
std::string ReadFileBytes(const std::string& path)
{
    bool deleted = false;
    if (PressFiles* press = PressFiles::Active())
        press->Known(path, deleted);
    std::string bytes;
    if (deleted || !fs::IsFile(path))
        throw UserError(MissingFileMessage(path));
    if (!NamingTheFile(fs::FileName(path), [&] { return fs::ReadBytes(path, bytes); }))
        throw UserError(U"ファイル(" + NameOf(path) + U")を読めません。");
    return bytes;
}

Lines DecodeLines(const std::string& bytes, const std::string& nameForMessages, bool savedByUs)
{
    return NamingTheFile(nameForMessages, [&] {
        // A file this program saved is CP932 by construction; its bytes may still happen to be valid
        // UTF-8 (a level-2 kanji followed by kana can), and refusing it would lock the user out of it.
        if (LooksLikeOtherEncoding(bytes) && !(savedByUs && EndsEveryLineWithCrLf(bytes)))
            NotCp932(nameForMessages);
        // Line by line: the decoded text of the whole file would be a third copy, four bytes a
        // character. A line break byte never stands inside a CP932 character.
        Lines lines;
        std::size_t begin = 0;
        while (begin < bytes.size()) {
            std::size_t nl = bytes.find('\n', begin);
            std::size_t next = nl == std::string::npos ? bytes.size() : nl + 1;
            std::size_t end = nl == std::string::npos ? bytes.size() : nl;
            if (nl != std::string::npos && end > begin && bytes[end - 1] == '\r')
                --end;
            auto line = DecodeCp932(std::string_view(bytes).substr(begin, end - begin));
            if (!line)
                NotCp932(nameForMessages);
            lines.push_back(std::move(*line));
            begin = next;
        }
        return lines;
    });
}

} // namespace

Lines DecodeTextLines(const std::string& bytes, const std::string& nameForMessages)
{
    return DecodeLines(bytes, nameForMessages, false);
}

Lines ReadSavedTextFile(const std::string& path)
{
    return DecodeLines(ReadFileBytes(path), fs::FileName(path), true);
}

Lines ReadTextFile(const std::string& path)
{
    if (PressFiles* press = PressFiles::Active()) {
        bool deleted = false;
        if (auto known = press->Known(path, deleted))
            return std::move(*known);
    }
    const std::string bytes = ReadFileBytes(path);
    Lines lines = DecodeTextLines(bytes, fs::FileName(path));
    if (PressFiles* press = PressFiles::Active())
        press->RememberRead(path, lines, bytes.size());
    return lines;
}

std::u16string ReadCp932FileUtf16(const std::string& path)
{
    const std::string name = fs::FileName(path);
    return NamingTheFile(name, [&] {
        std::optional<std::u16string> text;
        {
            const std::string bytes = ReadFileBytes(path);
            if (!LooksLikeOtherEncoding(bytes))
                text = DecodeCp932Utf16(bytes);
        } // the bytes go before the text is used
        if (!text)
            NotCp932(name);
        return std::move(*text);
    });
}

bool TextFileExists(const std::string& path)
{
    if (PressFiles* press = PressFiles::Active())
        if (auto w = press->WrittenOrDeleted(path))
            return *w;
    return fs::IsFile(path);
}

bool DeleteTextFile(const std::string& path)
{
    if (PressFiles* press = PressFiles::Active()) {
        // A file the press has not met is looked for once: the assist deletes the same missing work file
        // for every past run of every entrant, and the press remembers it as gone.
        if (press->WrittenOrDeleted(path) || !fs::Exists(path) || fs::IsFile(path))
            press->TakeDelete(path);
        return true;
    }
    return fs::DeleteFile(path);
}

std::string EncodeTextLines(const Lines& lines)
{
    std::string out;
    for (const auto& line : lines) {
        EncodeResult r;
        try {
            r = EncodeCp932(line);
        } catch (const std::runtime_error&) {
            throw UserError(U"Shift-JIS(CP932)の文字コード変換がこのシステムで使えないため、書き込めません。");
        }
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
    PressFiles* press = PressFiles::Active();
    if (!durable && press) {
        press->TakeWrite(path, lines);
        return;
    }
    std::string bytes = EncodeTextLines(lines);
    if (press)
        press->Forget(path);
    if (durable && fs::IsWriteProtected(path))
        throw UserError(WriteProtectedMessage(path));
    if (!fs::WriteBytesAtomic(path, bytes, durable ? fs::WriteKind::Kept : fs::WriteKind::Work))
        throw UserError(U"ファイル(" + NameOf(path)
            + U")を書き込めません。\nフォルダーの書き込み権限と空き容量を確認してください。");
}

void WriteTextFile(const std::string& path, Lines&& lines, bool durable)
{
    if (PressFiles* press = PressFiles::Active(); press && !durable) {
        press->TakeWrite(path, std::move(lines));
        return;
    }
    WriteTextFile(path, static_cast<const Lines&>(lines), durable);
}

void AppendTextFile(const std::string& path, const Lines& lines)
{
    if (PressFiles::Active()) {
        Lines all = TextFileExists(path) ? ReadTextFile(path) : Lines {};
        all.insert(all.end(), lines.begin(), lines.end());
        WriteTextFile(path, std::move(all));
        return;
    }
    std::string bytes = EncodeTextLines(lines);
    if (!fs::AppendBytes(path, bytes))
        throw UserError(U"ファイル(" + NameOf(path)
            + U")を書き込めません。\nフォルダーの書き込み権限と空き容量を確認してください。");
}

} // namespace pado
