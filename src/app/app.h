#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/module1.h"
#include "formats/pado_db.h"
#include "platform/clock.h"
#include "platform/press_files.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace pado {

class Form;
class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class ProgramLock;

// Owns the seven windows, the program folder and the platform services. One per running program; all
// of a program's state lives here, so programs on different threads run side by side.
class App {
public:
    App(std::string programFolder, Shell& shell, Clock& clock);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Shell& shell;
    Clock& clock;
    Module1 module1;
    // The text files of the press that runs, written to disk when it ends (every click and key).
    PressFiles pressFiles;
    // pado.txt as parsed by an earlier press, while the file stays the same.
    RaceDatabaseCache raceDatabases;
    // Today's date for the assist's month and season rules; tests fix it.
    std::function<Date()> today = SystemToday;

    const std::string& ProgramFolder() const { return programFolder_; }
    // A file of the program folder (input and work files).
    std::string FilePath(std::string_view name) const;
    // The staging folder of the data transfer: "PADO-tdy" beside the program folder.
    std::string StagingFolder() const;
    // Where the manual page lies (the program folder's docs/manual.html).
    std::string ManualPath() const;

    Form1& form1() { return *form1_; }
    Form2& form2() { return *form2_; }
    Form3& form3() { return *form3_; }
    Form4& form4() { return *form4_; }
    Form5& form5() { return *form5_; }
    Form6& form6() { return *form6_; }
    Form7& form7() { return *form7_; }
    std::vector<Form*> Forms();
    Form* FindForm(std::string_view name);

    // Start-up: takes the program folder's lock, then the main window loads (building the workspace
    // and showing the companions) and comes to the front. When another running program holds the
    // folder, says so and opens nothing, touching nothing on disk. The lock is held until the App ends.
    void Start();
    // Loads the window the first time, then shows it (or brings it to the front).
    void Show(Form& f);
    // Asks the window (its QueryUnload); when it agrees, unloads and hides it. False when it refused.
    bool Close(Form& f);
    // Shows a dialog and returns when it has been closed.
    void ShowModal(Form& f);
    // True while any window is open; the program ends when the last one closes.
    bool Running();

    // The OK message box with the default title.
    void Message(const Text& text);
    // A Yes/No question titled "確認"; true for Yes.
    bool Confirm(const Text& text);

private:
    std::string programFolder_;
    std::unique_ptr<ProgramLock> lock_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form4> form4_;
    std::unique_ptr<Form5> form5_;
    std::unique_ptr<Form6> form6_;
    std::unique_ptr<Form7> form7_;
};

} // namespace pado
