#include "support/views_harness.h"

#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado::viewstest {

std::optional<Lines> ViewsHarness::Get(const std::string& name)
{
    if (!fs::IsFile(fs::Join(folder, name)))
        return std::nullopt;
    return ReadTextFile(fs::Join(folder, name));
}

void ViewsHarness::SelectHorse(const Text& horseName)
{
    const std::string race = fs::Join(folder, "第1回テスト記念");
    fs::CreateFolder(race);
    const std::string horse = fs::Join(race, ToUtf8(horseName));
    fs::CreateFolder(horse);
    form().Dir1.SetPath(horse);
}

void ViewsHarness::SelectRaceFolder()
{
    const std::string race = fs::Join(folder, "第1回テスト記念");
    fs::CreateFolder(race);
    form().Dir1.SetPath(race);
}

Text RunLine::line() const
{
    return date + U" " + venue + U" " + race + U" " + surface + distance + U"m 良 05 " + finish
        + U" 1.33.5 35.2 01 480 " + PadRight(name, 9) + U"牡3 武豊Ｔ " + tail;
}

} // namespace pado::viewstest
