#include "Nes2Area.h"

#include "nesNames.h"
#include "ui_Nes2Area.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr std::uint16_t markByte = 1u << 7;

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// A refusal of the model as a sentence for the error box.
QString sentence(const std::string& refusal) {
    return platform::sentenceStart(fromStd(refusal)) + '.';
}

// "$2A: Multicart" for codes of four bits and more, "1: Nintendo Vs. System"
// for the small ones.
QString codeItem(const CodeName& row, bool hex) {
    const QString code =
        hex ? "$" + QString::number(row.code, 16).toUpper() : QString::number(row.code);
    return code + ": " + QString::fromLatin1(row.name);
}

// "8 KiB (8192 bytes)", "128 bytes", "none".
QString ramItem(std::uint64_t bytes) {
    if (bytes < 1024) {
        return fromStd(sizeText(bytes));
    }
    return fromStd(sizeText(bytes)) + " (" + QString::number(bytes) + " bytes)";
}

// How the header stores a ROM size: "2 pages of 16 KiB" or "2^8 x 3 bytes".
QString romForm(int pages, std::uint64_t bytes, std::uint64_t unit, const CartridgeHeader& raw,
                int lsb) {
    if (pages >= 0) {
        return QString("%1 page%2 of %3 KiB")
            .arg(pages)
            .arg(pages == 1 ? "" : "s")
            .arg(unit / 1024);
    }
    const QString size =
        bytes == UINT64_MAX ? QStringLiteral("too large") : fromStd(sizeText(bytes));
    return QString("%1: 2^%2 x %3 bytes").arg(size).arg(raw[lsb] >> 2).arg(2 * (raw[lsb] & 3) + 1);
}

} // namespace

Nes2Area::~Nes2Area() = default;

Nes2Area::Nes2Area(QWidget* group, platform::ControlEvents& events, platform::Prompts& prompts,
                   AreaHost host)
    : ui(std::make_unique<Ui::Nes2Area>()), events(events), prompts(prompts),
      host(std::move(host)) {
    // Controls added to a shown widget stay hidden until it is shown again.
    group->hide();
    ui->setupUi(group);
    // Its classic sizes grow with a larger font, as the main window's do.
    if (const double growth = platform::fontGrowth(group->font()); growth > 1) {
        platform::growLayout(group->layout(), growth);
    }
    group->show();
    for (QLineEdit* shown :
         {ui->txtFormat, ui->txtSubmapperName, ui->txtPrgRomForm, ui->txtChrRomForm}) {
        platform::markDisplayOnly(shown);
    }
    boxes = {{ui->txtSubmapper, findField("submapper")},
             {ui->txtPrgRomSize, findField("prgRomBytes")},
             {ui->txtChrRomSize, findField("chrRomBytes")},
             {ui->txtMiscRoms, findField("miscRoms")}};
    lists = {{ui->cmbPrgRam, findField("prgRamBytes")},
             {ui->cmbPrgNvram, findField("prgNvramBytes")},
             {ui->cmbChrRam, findField("chrRamBytes")},
             {ui->cmbChrNvram, findField("chrNvramBytes")},
             {ui->cmbConsoleType, findField("consoleType")},
             {ui->cmbTiming, findField("timing")},
             {ui->cmbVsPpu, findField("vsPpu")},
             {ui->cmbVsHardware, findField("vsHardware")},
             {ui->cmbExtConsole, findField("extendedConsole")},
             {ui->cmbExpansion, findField("expansion")}};

    auto highlight = [this](std::uint16_t bytes) {
        return [this, bytes] { this->host.highlight(bytes); };
    };
    auto clickAndEnter = [&](QWidget* control, std::uint16_t bytes) {
        events.onClick(control, highlight(bytes));
        events.onEnter(control, highlight(bytes));
    };
    for (const Control& entry : boxes) {
        clickAndEnter(entry.widget, entry.field->bytes);
        events.onExit(entry.widget, [this, entry] { commitBox(entry); });
    }
    clickAndEnter(ui->txtSubmapperName, findField("submapper")->bytes);
    clickAndEnter(ui->txtPrgRomForm, findField("prgRomBytes")->bytes);
    clickAndEnter(ui->txtChrRomForm, findField("chrRomBytes")->bytes);
    clickAndEnter(ui->txtFormat, markByte);
    events.onEnter(ui->btnConvert, highlight(markByte));
    for (const Control& entry : lists) {
        events.onEnter(entry.widget, highlight(entry.field->bytes));
        auto* list = static_cast<QComboBox*>(entry.widget);
        QObject::connect(list, &QComboBox::activated, list, [this, entry, list](int index) {
            this->events.run([this, entry, list, index] {
                this->host.highlight(entry.field->bytes);
                set(*entry.field, list->itemData(index).toULongLong());
            });
        });
    }
    QObject::connect(ui->btnConvert, &QPushButton::clicked, ui->btnConvert,
                     [this] { this->events.run([this] { convert(); }); });
}

// The lists are filled when a header is first shown, not at start-up.
void Nes2Area::fillLists() {
    if (filled) {
        return;
    }
    filled = true;
    for (QComboBox* list : {ui->cmbPrgRam, ui->cmbPrgNvram, ui->cmbChrRam, ui->cmbChrNvram}) {
        for (int shift = 0; shift <= 15; ++shift) {
            const std::uint64_t bytes = NesHeader::ramBytes(shift);
            list->addItem(ramItem(bytes), QVariant::fromValue<qulonglong>(bytes));
        }
    }
    struct Codes {
        QComboBox* list;
        const CodeTable& table;
        int count;
        bool hex;
    };
    const Codes codes[] = {{ui->cmbConsoleType, consoleTypes, 4, false},
                           {ui->cmbTiming, timings, 4, false},
                           {ui->cmbVsPpu, vsPpuTypes, 16, true},
                           {ui->cmbVsHardware, vsHardwareTypes, 16, true},
                           {ui->cmbExtConsole, extendedConsoleTypes, 16, true},
                           {ui->cmbExpansion, expansionDevices, 128, true}};
    for (const Codes& each : codes) {
        for (int code = 0; code < each.count; ++code) {
            const CodeName* row = each.table.find(code);
            const std::string name = codeText(each.table, code);
            const CodeName shown{code, row != nullptr ? row->name : name.c_str(), false};
            each.list->addItem(codeItem(shown, each.hex), QVariant::fromValue<qulonglong>(code));
        }
    }
}

void Nes2Area::show(const NesHeader* header) {
    const bool nes2 = header != nullptr && header->isNes2();
    if (header != nullptr) {
        fillLists();
    }
    for (const Control& entry : boxes) {
        auto* box = static_cast<QLineEdit*>(entry.widget);
        box->setEnabled(nes2);
        box->setText(nes2 ? QString::number(entry.field->get(*header)) : QString());
    }
    for (const Control& entry : lists) {
        auto* list = static_cast<QComboBox*>(entry.widget);
        list->setEnabled(nes2);
        list->setCurrentIndex(
            nes2 ? list->findData(QVariant::fromValue<qulonglong>(entry.field->get(*header))) : -1);
    }
    // Byte 13 means the Vs. System types for console type 1 and the extended
    // console type for console type 3.
    const int console = nes2 ? header->consoleType() : -1;
    ui->cmbVsPpu->setEnabled(console == 1);
    ui->cmbVsHardware->setEnabled(console == 1);
    ui->cmbExtConsole->setEnabled(console == 3);

    for (QLineEdit* shown :
         {ui->txtFormat, ui->txtSubmapperName, ui->txtPrgRomForm, ui->txtChrRomForm}) {
        shown->setEnabled(shown == ui->txtFormat ? header != nullptr : nes2);
        platform::showText(shown, QString());
    }
    ui->txtFormat->setToolTip(QString());
    ui->btnConvert->setEnabled(header != nullptr &&
                               (!nes2 || header->convertsToInes1WithoutLoss()));
    ui->btnConvert->setText(nes2 ? QStringLiteral("Con&vert to iNES 1.0")
                                 : QStringLiteral("Con&vert to NES 2.0"));
    ui->btnConvert->setToolTip(nes2 && !header->convertsToInes1WithoutLoss()
                                   ? QStringLiteral("iNES 1.0 cannot hold what bytes 8-15 say")
                                   : QString());
    if (header == nullptr) {
        return;
    }
    const FormatVerdict format = header->format();
    ui->txtFormat->setText(QString::fromLatin1(format.name));
    ui->txtFormat->setToolTip(QString::fromLatin1(format.reason));
    if (!nes2) {
        return;
    }
    const char* meaning = submapperName(header->mapper(), header->submapper());
    platform::showText(ui->txtSubmapperName, meaning != nullptr ? QString::fromLatin1(meaning)
                                             : header->submapper() == 0
                                                 ? QStringLiteral("Default")
                                                 : QStringLiteral("Unknown"));
    ui->txtPrgRomForm->setText(romForm(header->prgRomPages(), header->prgRomBytes(),
                                       NesHeader::prgUnit, header->bytes(), 4));
    ui->txtChrRomForm->setText(romForm(header->chrRomPages(), header->chrRomBytes(),
                                       NesHeader::chrUnit, header->bytes(), 5));
}

QWidget* Nes2Area::firstControl() const {
    return ui->txtFormat;
}

bool Nes2Area::commit(QWidget* focused) {
    for (const Control& entry : boxes) {
        if (entry.widget == focused) {
            return commitBox(entry);
        }
    }
    return true;
}

// A blank box is ignored, like an empty page box.
bool Nes2Area::commitBox(const Control& entry) {
    const QString text = static_cast<QLineEdit*>(entry.widget)->text();
    if (text.trimmed().isEmpty()) {
        return true;
    }
    std::uint64_t value = 0;
    if (entry.field->kind == FieldKind::size) {
        const std::optional<std::uint64_t> size = parseSize(text.toStdString());
        if (!size) {
            prompts.showError(platform::quoted(text) +
                              " is not a size: enter a number of bytes, or one with K or M "
                              "(24K, 2M).");
            return false;
        }
        value = *size;
    } else {
        const platform::Number typed = platform::parseInteger(text);
        if (!typed.ok) {
            prompts.showError(typed.error);
            return false;
        }
        value = typed.value < 0 ? UINT64_MAX : static_cast<std::uint64_t>(typed.value);
    }
    return set(*entry.field, value);
}

void Nes2Area::convert() {
    host.highlight(markByte);
    const ImageDocument* document = host.document();
    if (document == nullptr) {
        return;
    }
    const bool toNes2 = !document->working().isNes2();
    const Refusal refusal = host.change(
        toNes2 ? QStringLiteral("Convert to NES 2.0") : QStringLiteral("Convert to iNES 1.0"),
        [toNes2](ImageDocument& image) { return image.convert(toNes2); });
    // A conversion that would lose data is not offered: its button is disabled.
    (void)refusal;
}

bool Nes2Area::set(const HeaderField& field, std::uint64_t value) {
    NesHeader after = host.document()->working();
    field.set(after, value);
    const Refusal refusal =
        host.change(stepName(field, after),
                    [&field, value](ImageDocument& image) { return image.set(field, value); });
    if (refusal) {
        prompts.showError(sentence(*refusal));
    }
    return !refusal;
}
