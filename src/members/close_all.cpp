#include "members/close_all.h"

#include "app/app.h"
#include "app/form1.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "shape/form7.h"
#include "timeorder/form4.h"

namespace pado {

void DeleteSharedWorkFiles(App& app)
{
    for (const char* name : { files::kCoRunners, files::kPastRaceRunners, files::kRunBlock, files::kMarkedMemo })
        DeleteTextFile(app.FilePath(name));
}

void CloseAllWindows(Form2& f)
{
    App& app = f.GetApp();
    DeleteSharedWorkFiles(app);
    // In front, since it may ask about unsaved text.
    app.Show(app.form3());
    // A memo pad that is told to stay keeps running on its own; the others close regardless.
    app.Close(app.form1());
    app.Close(app.form3());
    app.Close(app.form4());
    // A window left open would keep the program running after the last of the others closed.
    app.Close(app.form7());
    app.Close(f);
}

} // namespace pado
