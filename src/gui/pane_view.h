#pragma once

#include <QPlainTextEdit>

#include "platform/controls.h"

namespace pado::gui {

// A text pane: shows its TextPane model and hands what the user types, and where the user puts the
// caret, back to it, so that views insert where the user clicked. Changes made by the program reach
// the widget once the program's event has finished (or at SyncFromModel), so a view inserting a
// thousand lines does not re-render the pane a thousand times.
class PaneView : public QPlainTextEdit {
    Q_OBJECT
public:
    PaneView(TextPane& model, QWidget* parent = nullptr);
    ~PaneView() override;

    TextPane& Model() { return model_; }
    // Brings the widget up to date with the model now.
    void SyncFromModel();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    // Before the user acts on the pane, it must show what the program last wrote.
    void CatchUpBeforeUserInput(QEvent* e);
    void ModelChanged();
    // Scrolls up, when needed, so that the line holding position is the first in view.
    void ShowFromLineOf(int position);
    void WidgetTextChanged();
    void WidgetCursorChanged();
    // The widget's text in the model's terms: "\n" line breaks, one element per character.
    Text WidgetText() const;
    // Converts between model character positions and widget (UTF-16) positions.
    int ToWidgetPos(std::size_t pos) const;
    std::size_t ToModelPos(int pos) const;

    TextPane& model_;
    int subscription_ = -1;
    Text shown_; // what the widget holds, as of the last synchronisation
    bool pending_ = false; // a model change waits to be shown
    bool applying_ = false; // the widget is being changed to match the model
    bool cleared_ = false; // the program emptied the pane since the widget last caught up
};

} // namespace pado::gui
