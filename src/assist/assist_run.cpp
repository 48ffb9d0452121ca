#include "assist/assist_run.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/textfile.h"

namespace pado {

AssistRun::AssistRun(Form1& form)
    : f(form)
    , app(form.GetApp())
{
}

const Lines& AssistRun::F3()
{
    if (!f3_)
        f3_ = ReadTextFile(app.FilePath("F3.txt"));
    return *f3_;
}

const Lines& AssistRun::Rall()
{
    if (!rall_)
        rall_ = ReadRall(app);
    return *rall_;
}

} // namespace pado
