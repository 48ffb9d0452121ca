#include "gui/dir_view.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

#include "app/form.h"
#include "gui/fonts.h"
#include "gui/qt_text.h"
#include "platform/fs.h"

namespace pado::gui {

namespace {

constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentStep = 10;

// Draws each entry indented by its depth in the folder chain.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem o(option);
        o.rect.adjust(index.data(kLevelRole).toInt() * kIndentStep, 0, 0, 0);
        QStyledItemDelegate::paint(painter, o, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        return { s.width() + index.data(kLevelRole).toInt() * kIndentStep, s.height() };
    }
};

QString EntryLabel(const std::string& path)
{
    if (path == "/")
        return QStringLiteral("/");
    return PathToQString(fs::FileName(path));
}

} // namespace

DirView::DirView(Form& form, const std::string& name, DirList& model, QWidget* parent)
    : QListWidget(parent)
    , form_(form)
    , name_(name)
    , model_(model)
{
    setObjectName(QString::fromStdString(name));
    setFont(PaneFont());
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setIconSize({ 16, 16 });
    subscription_ = model_.Subscribe([this] { SyncFromModel(); });
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!applying_)
            model_.Highlight(row);
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        model_.Highlight(row(item));
        model_.Open();
    });
    SyncFromModel();
}

DirView::~DirView()
{
    model_.Unsubscribe(subscription_);
}

void DirView::SyncFromModel()
{
    applying_ = true;
    if (model_.Entries() != shown_) {
        shown_ = model_.Entries();
        clear();
        const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
        const int chain = static_cast<int>(model_.ChainLength());
        for (int i = 0; i < static_cast<int>(shown_.size()); ++i) {
            auto* item = new QListWidgetItem(i < chain ? openIcon : closedIcon, EntryLabel(shown_[i]));
            item->setData(kLevelRole, i < chain ? i : chain);
            item->setToolTip(PathToQString(shown_[i]));
            addItem(item);
        }
    }
    if (currentRow() != model_.Highlighted()) {
        setCurrentRow(model_.Highlighted());
        if (model_.Highlighted() >= 0)
            scrollToItem(item(model_.Highlighted()));
    }
    applying_ = false;
}

void DirView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        form_.KeyPress(name_, 13);
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace pado::gui
