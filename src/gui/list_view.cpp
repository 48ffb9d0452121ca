#include "gui/list_view.h"

#include "gui/qt_text.h"

namespace pado::gui {

ListView::ListView(ListBox& model, QWidget* parent)
    : QListWidget(parent)
    , model_(model)
{
    subscription_ = model_.Subscribe([this] { SyncFromModel(); });
    SyncFromModel();
}

ListView::~ListView()
{
    model_.Unsubscribe(subscription_);
}

void ListView::SyncFromModel()
{
    QStringList want;
    for (const Text& t : model_.Items())
        want << ToQString(t);
    QStringList have;
    for (int i = 0; i < count(); ++i)
        have << item(i)->text();
    if (want == have)
        return;
    clear();
    addItems(want);
}

} // namespace pado::gui
