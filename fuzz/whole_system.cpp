// Writes fuzzed race files into a fresh program folder and presses every button of every window,
// all four assist modes included. Nothing may crash, hang, or change an input file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "platform/fs.h"
#include "platform/shell.h"

using namespace pado;

namespace {

const char* const kInputs[] = { "R1.txt", "Rall.txt", "pado.txt", "kisyuE.txt", "repara.txt" };

// Answers every question from a fixed plan, so one input always runs the same way.
class FuzzShell : public Shell {
public:
    App* app = nullptr;
    int mode = 1;
    std::string pickedFolder;
    unsigned questions = 0;

    MsgAnswer MsgBox(const Text&, const Text&, MsgButtons b, MsgIcon) override
    {
        if (b == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return (questions++ % 2) ? MsgAnswer::No : MsgAnswer::Yes;
    }
    void Popup(const Text&, const Text&, int) override { }
    std::optional<std::string> BrowseForFolder(const Text&, const std::string&) override { return pickedFolder; }
    void OpenWebPage(const std::string&) override { }
    void ShowModal(Form& f) override
    {
        if (f.Name() == "Form5") {
            f.Click("Command3"); // the parameter dialog on the way
            f.Click("Option" + std::to_string(mode));
            f.Click("Command1");
        } else if (f.Name() == "Form6") {
            f.Click("Command3");
            f.Click("Command1");
        }
        if (f.IsVisible())
            app->Close(f);
    }
    void ShowWindow(Form&) override { }
    void CloseWindow(Form&) override { }
    void PumpEvents() override { }
};

std::string Folder()
{
    static std::string root = "/tmp/pado-fuzz-" + std::to_string(::getpid());
    static bool made = [] {
        fs::CreateFolder(root);
        std::atexit([] { fs::DeleteTree(root); });
        return true;
    }();
    (void)made;
    return root + "/PADO";
}

void ClickAll(Form& f, const std::vector<std::string>& controls)
{
    for (const auto& c : controls)
        f.Click(c);
}

// Highlights the first Dir1 entry below the open folder, if there is one.
bool HighlightFirstChild(Form1& f1)
{
    auto& d = f1.Dir1;
    if (d.Entries().size() <= d.ChainLength())
        return false;
    d.Highlight(static_cast<int>(d.ChainLength()));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string prog = Folder();
    fs::DeleteTree(fs::Parent(prog) + "/PADO-tdy");
    fs::DeleteTree(prog);
    fs::CreateFolder(prog);
    if (chdir(prog.c_str()) != 0)
        std::abort();

    // The input is the five files, separated by the two bytes 0x00 0x01.
    std::string all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    for (std::size_t p = 0;;) {
        auto q = all.find(std::string("\0\1", 2), p);
        parts.push_back(all.substr(p, q == std::string::npos ? std::string::npos : q - p));
        if (q == std::string::npos || parts.size() == 5)
            break;
        p = q + 2;
    }
    for (std::size_t i = 0; i < parts.size(); ++i)
        fs::WriteBytesAtomic(fs::Join(prog, kInputs[i]), parts[i]);
    // The same files staged for the data transfer.
    std::string staged = fs::Parent(prog) + "/PADO-tdy";
    fs::CreateFolder(staged);
    fs::CreateFolder(staged + "/race");
    for (std::size_t i = 0; i < parts.size() && i < 3; ++i)
        fs::WriteBytesAtomic(staged + "/race/" + kInputs[i], parts[i]);

    SteppingClock clock(0.5);
    FuzzShell shell;
    shell.pickedFolder = staged + "/race";
    {
        App app(prog, shell, clock);
        shell.app = &app;
        app.today = [] { return Date { 2026, 4, 15 }; };
        app.Start();
        Form1& f1 = app.form1();
        const std::string race = f1.Dir1.Path();
        if (HighlightFirstChild(f1)) {
            ClickAll(f1, { "Image1", "Image8", "Image9", "Image10", "Image5", "Image11" });
            f1.KeyPress("Dir1", 13);
            if (HighlightFirstChild(f1))
                ClickAll(f1, { "Image2", "Image3", "Image2", "Image4", "Image3" });
        }
        ClickAll(*app.FindForm("Form4"), { "Image1", "Image2", "Image3" });
        for (int mode = 1; mode <= 4; ++mode) {
            f1.Dir1.SetPath(race);
            shell.mode = mode;
            f1.Click("Image6");
        }
        ClickAll(*app.FindForm("Form2"), { "Image1", "Image4", "Image5", "Image7", "Image8", "Image6" });
        Form& f3 = *app.FindForm("Form3");
        ClickAll(f3, { "Image2", "Image1", "Image2" });
        app.FindForm("Form2")->Click("Image2"); // the transfer copies the same files back in
        app.FindForm("Form2")->Click("Image3");
        for (Form* f : app.Forms())
            app.Close(*f);
    }

    // No input file may be lost or changed.
    for (std::size_t i = 0; i < parts.size() && i < 4; ++i) {
        std::string now;
        if (!fs::ReadBytes(fs::Join(prog, kInputs[i]), now) || now != parts[i])
            std::abort();
    }
    return 0;
}
