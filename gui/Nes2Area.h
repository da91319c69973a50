// The NES 2.0 area of the main window: shows every NES 2.0 field of the
// working copy, turns the user's edits into header edits, and offers the
// conversion between iNES 1.0 and NES 2.0. The main window builds it just
// after its first paint.
#pragma once

#include "AreaHost.h"
#include "Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace Ui {
class Nes2Area;
}

class Nes2Area {
public:
    // Lays the area's controls out in `group`.
    Nes2Area(QWidget* group, platform::ControlEvents& events, platform::Prompts& prompts,
             AreaHost host);
    ~Nes2Area();

    // Shows `header`; nullptr blanks and disables the area. An iNES 1.0
    // header shows its format and the conversion, and nothing else.
    void show(const NesHeader* header);
    // Commits the box being typed in, when it is one of the area's; false
    // when its text was refused.
    bool commit(QWidget* focused);
    // Where Tab enters the area.
    QWidget* firstControl() const;

private:
    // A control and the header field it shows: a box where a number is
    // typed (committed when the focus leaves it) or a list of values.
    struct Control {
        QWidget* widget;
        const HeaderField* field;
    };

    void fillLists();
    bool commitBox(const Control& entry);
    void convert();
    // Sets a field of the working copy, or shows why it cannot be set.
    bool set(const HeaderField& field, std::uint64_t value);

    std::unique_ptr<Ui::Nes2Area> ui;
    platform::ControlEvents& events;
    platform::Prompts& prompts;
    AreaHost host;
    std::vector<Control> boxes;
    std::vector<Control> lists;
    bool filled = false;
};
