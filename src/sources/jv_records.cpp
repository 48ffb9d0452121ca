#include "sources/fixed_record.h"
#include "sources/jv_fields.h"
#include "sources/jv_layout.h"
#include "sources/source_reader.h"

namespace pado::sources {

namespace {

using namespace jv;

std::string Ascii(std::string_view rec, int pos, int len)
{
    return std::string(FieldAt(rec, pos, len));
}

// The header every JV-Data record starts with: a two-character type, the data division, the creation date.
bool LooksLikeRecordHeader(std::string_view line)
{
    if (line.size() < 27)
        return false;
    auto alnum = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    if (line[0] < 'A' || line[0] > 'Z' || !alnum(line[1]) || !alnum(line[2]))
        return false;
    for (int i = 3; i < 11; ++i)
        if (line[static_cast<std::size_t>(i)] < '0' || line[static_cast<std::size_t>(i)] > '9')
            return false;
    return true;
}

void RaceIdentification(std::string_view rec, std::string& dataKubun, std::string& year, std::string& monthDay,
    std::string& jyoCD, std::string& kaiji, std::string& nichiji, std::string& raceNum)
{
    dataKubun = Ascii(rec, kDataKubun, 1);
    year = Ascii(rec, kYear, 4);
    monthDay = Ascii(rec, kMonthDay, 4);
    jyoCD = Ascii(rec, kJyoCD, 2);
    kaiji = Ascii(rec, kKaiji, 2);
    nichiji = Ascii(rec, kNichiji, 2);
    raceNum = Ascii(rec, kRaceNum, 2);
}

class JvRecordReader {
public:
    JvRecordReader(const std::string& file, RecordSink& sink)
        : file_(file)
        , sink_(sink)
    {
    }

    void Line(std::string_view line, long number)
    {
        line_ = number;
        if (line.empty())
            return;
        if (!LooksLikeRecordHeader(line)) {
            Bad("JV-Dataのレコードとして読めません");
            return;
        }
        std::string recordType(line.substr(0, 2));
        int len = static_cast<int>(line.size());
        if (recordType == "RA")
            Checked(len == ra::kLength, recordType, ra::kLength, [&] { Ra(line); });
        else if (recordType == "SE")
            Checked(len == se::kLength, recordType, se::kLength, [&] { Se(line); });
        else if (recordType == "KS")
            Checked(len == ks::kLength, recordType, ks::kLength, [&] { Ks(line); });
        else if (recordType == "UM")
            Checked(len == um::kLength || len == um::kLengthBefore2023, recordType, um::kLength, [&] { Um(line); });
        else
            sink_.Skipped("JV " + recordType);
    }

private:
    void Bad(const std::string& reason) { sink_.Malformed(file_, line_, reason); }

    template <class F> void Checked(bool lengthOk, const std::string& recordType, int expected, F read)
    {
        if (!lengthOk) {
            Bad(recordType + "レコードの長さが" + std::to_string(expected + 2) + "バイトではありません");
            return;
        }
        read();
    }

    bool Decode(std::string_view rec, int pos, int len, Text& out, const char* what)
    {
        std::optional<Text> t = TextField(FieldAt(rec, pos, len));
        if (!t) {
            Bad(std::string(what) + "がCP932ではありません");
            return false;
        }
        out = *t;
        return true;
    }

    void Report(const JvOutcome& o)
    {
        if (o.kind == JvOutcome::Skipped)
            sink_.Skipped(o.text);
        else if (o.kind == JvOutcome::Malformed)
            Bad(o.text);
    }

    void Ra(std::string_view rec)
    {
        using namespace ra;
        JvRaceFields f;
        RaceIdentification(rec, f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum);
        if (!Decode(rec, kHondai, 60, f.hondai, "競走名"))
            return;
        f.gradeCD = Ascii(rec, kGradeCD, 1);
        f.syubetuCD = Ascii(rec, kSyubetuCD, 2);
        f.kigoCD = Ascii(rec, kKigoCD, 3);
        f.jyuryoCD = Ascii(rec, kJyuryoCD, 1);
        f.jyokenCD5 = Ascii(rec, kJyokenCD5, 3);
        f.kyori = Ascii(rec, kKyori, 4);
        f.trackCD = Ascii(rec, kTrackCD, 2);
        for (int i = 0; i < 5; ++i)
            f.honsyokin[i] = Ascii(rec, kHonsyokin1 + 8 * i, 8);
        for (int i = 0; i < 5; ++i)
            f.fukasyokin[i] = Ascii(rec, kFukasyokin1 + 8 * i, 8);
        f.nkai = Ascii(rec, kNkai, 3);
        f.hassoTime = Ascii(rec, kHassoTime, 4);
        f.syussoTosu = Ascii(rec, kSyussoTosu, 2);
        f.tenkoCD = Ascii(rec, kTenkoCD, 1);
        f.sibaBabaCD = Ascii(rec, kSibaBabaCD, 1);
        f.dirtBabaCD = Ascii(rec, kDirtBabaCD, 1);
        for (int i = 0; i < 25; ++i)
            f.lapTime[i] = Ascii(rec, kLapTime1 + 3 * i, 3);
        f.haronTimeL3 = Ascii(rec, kHaronTimeL3, 3);
        f.haronTimeL4 = Ascii(rec, kHaronTimeL4, 3);
        for (int i = 0; i < 4; ++i) {
            int slot = kCorner1 + kCornerStride * i;
            f.corner[i] = Ascii(rec, slot, 1);
            if (!Decode(rec, slot + 2, 70, f.jyuni[i], "コーナー通過順位"))
                return;
        }
        RaceRecord race;
        JvOutcome o = ConvertJvRace(f, race);
        if (o.kind == JvOutcome::Used)
            sink_.Race(race);
        else
            Report(o);
    }

    void Se(std::string_view rec)
    {
        using namespace se;
        JvRunnerFields f;
        RaceIdentification(rec, f.dataKubun, f.year, f.monthDay, f.jyoCD, f.kaiji, f.nichiji, f.raceNum);
        f.wakuban = Ascii(rec, kWakuban, 1);
        f.umaban = Ascii(rec, kUmaban, 2);
        f.kettoNum = Ascii(rec, kKettoNum, 10);
        if (!Decode(rec, kBamei, 36, f.bamei, "馬名") || !Decode(rec, kKisyuRyakusyo, 8, f.kisyuRyakusyo, "騎手名略称"))
            return;
        f.sexCD = Ascii(rec, kSexCD, 1);
        f.barei = Ascii(rec, kBarei, 2);
        f.futan = Ascii(rec, kFutan, 3);
        f.kisyuCode = Ascii(rec, kKisyuCode, 5);
        f.baTaijyu = Ascii(rec, kBaTaijyu, 3);
        f.zogenFugo = Ascii(rec, kZogenFugo, 1);
        f.zogenSa = Ascii(rec, kZogenSa, 3);
        f.ijyoCD = Ascii(rec, kIJyoCD, 1);
        f.kakuteiJyuni = Ascii(rec, kKakuteiJyuni, 2);
        f.time = Ascii(rec, kTime, 4);
        f.chakusaCD = Ascii(rec, kChakusaCD, 3);
        for (int i = 0; i < 4; ++i)
            f.jyuni[i] = Ascii(rec, kJyuni1c + 2 * i, 2);
        f.odds = Ascii(rec, kOdds, 4);
        f.ninki = Ascii(rec, kNinki, 2);
        f.haronTimeL3 = Ascii(rec, kHaronTimeL3, 3);
        RunnerRecord r;
        JvOutcome o = ConvertJvRunner(f, r);
        if (o.kind == JvOutcome::Used)
            sink_.Runner(r);
        else
            Report(o);
    }

    void Ks(std::string_view rec)
    {
        using namespace ks;
        JvJockeyFields f;
        f.kisyuCode = Ascii(rec, kKisyuCode, 5);
        if (!Decode(rec, kKisyuName, 34, f.kisyuName, "騎手名")
            || !Decode(rec, kKisyuRyakusyo, 8, f.kisyuRyakusyo, "騎手名略称"))
            return;
        JockeyRecord j;
        JvOutcome o = ConvertJvJockey(f, j);
        if (o.kind == JvOutcome::Used)
            sink_.Jockey(j);
        else
            Report(o);
    }

    void Um(std::string_view rec)
    {
        using namespace um;
        JvHorseFields f;
        f.kettoNum = Ascii(rec, kKettoNum, 10);
        f.birthDate = Ascii(rec, kBirthDate, 8);
        f.sexCD = Ascii(rec, kSexCD, 1);
        if (!Decode(rec, kBamei, 36, f.bamei, "馬名"))
            return;
        HorseRecord h;
        JvOutcome o = ConvertJvHorse(f, h);
        if (o.kind == JvOutcome::Used)
            sink_.Horse(h);
        else
            Report(o);
    }

    std::string file_;
    RecordSink& sink_;
    long line_ = 0;
};

} // namespace

bool LooksLikeJvRecords(std::string_view head)
{
    // The first complete line decides; a record may be longer than the head, so a cut line counts when its
    // header reads.
    std::size_t nl = head.find('\n');
    std::string_view first = head.substr(0, nl);
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    return LooksLikeRecordHeader(first);
}

void ReadJvRecords(const std::filesystem::path& file, RecordSink& sink)
{
    JvRecordReader reader(file.string(), sink);
    ForEachLine(file.string(), [&](std::string_view line, long number) {
        if (sink.Cancelled())
            return false;
        reader.Line(line, number);
        return true;
    });
}

} // namespace pado::sources
