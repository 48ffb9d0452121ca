#include "gui/shortcuts.h"

#include <map>
#include <utility>

namespace pado::gui {

QKeySequence ButtonShortcut(const std::string& form, const std::string& button)
{
    // The same key does the same kind of view in every window: R all runs, E the short run lines,
    // D details, T passing orders. Ctrl+P prints the window's pane (pane_commands.cpp).
    static const std::map<std::pair<std::string, std::string>, QKeyCombination> keys = {
        { { "Form1", "Image8" }, Qt::CTRL | Qt::Key_R },
        { { "Form1", "Image1" }, Qt::CTRL | Qt::Key_E },
        { { "Form1", "Image2" }, Qt::CTRL | Qt::Key_D },
        { { "Form1", "Image3" }, Qt::CTRL | Qt::Key_U }, // Ctrl+P prints, as everywhere
        { { "Form1", "Image9" }, Qt::CTRL | Qt::Key_G },
        { { "Form1", "Image10" }, Qt::CTRL | Qt::Key_J },
        { { "Form1", "Image5" }, Qt::CTRL | Qt::Key_T },
        { { "Form1", "Image4" }, Qt::CTRL | Qt::Key_L },
        { { "Form1", "Image6" }, Qt::CTRL | Qt::Key_M },
        { { "Form1", "Image7" }, QKeyCombination(Qt::Key_F1) },
        { { "Form1", "Image11" }, Qt::CTRL | Qt::Key_K },
        { { "Form2", "Image5" }, Qt::CTRL | Qt::Key_R },
        { { "Form2", "Image1" }, Qt::CTRL | Qt::Key_E },
        { { "Form2", "Image7" }, Qt::CTRL | Qt::Key_D },
        { { "Form2", "Image8" }, Qt::CTRL | Qt::Key_G },
        { { "Form2", "Image4" }, Qt::CTRL | Qt::Key_T },
        { { "Form2", "Image6" }, Qt::CTRL | Qt::Key_B },
        { { "Form2", "Image2" }, Qt::CTRL | Qt::Key_I },
        { { "Form2", "Image3" }, Qt::CTRL | Qt::Key_Q },
        { { "Form2", "Image9" }, Qt::CTRL | Qt::Key_N },
        { { "RaceData", "Backtest" }, Qt::CTRL | Qt::Key_B },
        { { "Form3", "Image1" }, Qt::CTRL | Qt::Key_O },
        { { "Form3", "Image2" }, Qt::CTRL | Qt::Key_S },
        { { "Form4", "Image1" }, Qt::CTRL | Qt::Key_D },
        { { "Form4", "Image2" }, Qt::CTRL | Qt::Key_E },
        { { "Form4", "Image3" }, Qt::CTRL | Qt::Key_R },
    };
    auto it = keys.find({ form, button });
    return it == keys.end() ? QKeySequence() : QKeySequence(it->second);
}

} // namespace pado::gui
