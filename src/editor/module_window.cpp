// The module window: built from the kind's parameter table, placed and shaped as its template says.

#include "editor/module_window.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QStandardItemModel>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "base/text.hpp"
#include "editor/colours.hpp"
#include "editor/fonts.hpp"
#include "editor/name_entry_dialog.hpp"
#include "editor/pill_widgets.hpp"
#include "session/session.hpp"

namespace mw {

namespace {

// The templates' sizes in dialog units, by kind number.
constexpr int kTemplateDu[kKindCount][2] = {
    {160, 121}, {160, 334}, {160, 332}, {160, 78},  {160, 150}, {160, 95},  {160, 174},
    {160, 137}, {160, 98},  {160, 159}, {160, 87},  {160, 126}, {160, 138}, {160, 138},
    {160, 254}, {160, 110}, {160, 254}, {160, 98},  {160, 98},  {160, 63},  {160, 322},
    {160, 158}, {80, 103},  {160, 76},  {160, 98},  {160, 134}, {160, 122}, {160, 113},
    {160, 113}, {160, 391}, {160, 113}, {160, 100}, {160, 310}, {160, 298}, {160, 137},
};

constexpr int kCornerEllipse = 30;
constexpr int kMarginDu = 4;
constexpr int kTopDu = 26;    // below the common controls
constexpr int kBottomDu = 4;  // kept free above the rounded bottom edge
constexpr int kLabelDu = 10;  // a line of label text
constexpr int kListDu = 12;   // a drop-down list
constexpr int kSliderDu = 11; // a slider
constexpr int kBoxDu = 10;    // a check box
constexpr int kEditDu = 12;   // a one-line text field
constexpr int kMaxGapDu = 6;  // the most room put between two groups when the template has room to spare
constexpr int kValueShownMs = 1000;
constexpr int kManualTextNumber = 87;
constexpr int kStatusTextNumber = 115; // the sensitivity sliders' value text

// The mouse measures the source lists offer, in display order, with their labels.
constexpr std::pair<int, SourceId> kOfferedMeasures[] = {
    {417, 1015}, {418, 1016}, {419, 1017}, {420, 1018}, {59, 1001}, {60, 1002}, {61, 1003}, {309, 1014},
    {62, 1004},  {63, 1005},  {65, 1007},  {67, 1009},  {64, 1006}, {66, 1008}, {68, 1010},
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

int Truncated(double value) {
    if (!std::isfinite(value)) return 0;
    return int(std::clamp(std::trunc(value), -2.0e9, 2.0e9));
}

double AsDouble(const std::optional<FieldValue>& value) {
    if (!value) return 0.0;
    if (const double* d = std::get_if<double>(&*value)) return *d;
    if (const int64_t* i = std::get_if<int64_t>(&*value)) return double(*i);
    if (const bool* b = std::get_if<bool>(&*value)) return *b ? 1.0 : 0.0;
    return 0.0;
}

using ListItems = std::vector<std::pair<QString, qlonglong>>;

// Puts the items into a list, all at once (a new model: a list view told of every row one by one would
// lay itself out again for each), and only when they differ from what the list holds.
void SetItems(QComboBox& list, const ListItems& items) {
    QString signature;
    for (const auto& [text, number] : items)
        signature += text + QChar(0) + QString::number(number) + QChar(1);
    if (list.property("mwItems").toString() == signature && list.count() == int(items.size())) return;
    list.setProperty("mwItems", signature);
    auto* model = new QStandardItemModel(int(items.size()), 1, &list);
    for (size_t i = 0; i < items.size(); ++i) {
        auto* item = new QStandardItem(items[i].first);
        item->setData(items[i].second, Qt::UserRole);
        model->setItem(int(i), item);
    }
    list.setModel(model); // the list deletes the model it owned before
}

int ListIndexOf(const QComboBox& list, int64_t number) {
    for (int i = 0; i < list.count(); ++i)
        if (list.itemData(i).toLongLong() == number) return i;
    return -1;
}

// The client area as a rounded rectangle with 30 x 30 corner ellipses, reaching one pixel past the right
// and bottom edges as the window region of the template does.
QRegion RoundedWindowRegion(const QSize& size) {
    return RoundedRegion(QRect(0, 0, size.width() + 1, size.height() + 1), kCornerEllipse);
}

} // namespace

QSize TemplateSizeDu(ModuleKind kind) {
    const int k = int(kind);
    return QSize(kTemplateDu[k][0], kTemplateDu[k][1]);
}

struct ModuleWindow::SliderBinding {
    QSlider* slider = nullptr;
    FieldRef ref;
    SliderRange range;
    SliderRange longRange; // the range while the kind's long mode is on (links only)
    ValueLabel shown;
    bool sensitivity = false;
    int link = -1;           // the link it belongs to, -1 for a plain number
    QLabel* label = nullptr; // where a moved value is shown for a second
    double shownValue = std::nan("");
    bool showing = false;
};

ModuleWindow::ModuleWindow(ModuleCanvas& canvas, Module& module, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), canvas_(canvas), module_(module), id_(module.id) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("module%1").arg(id_));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true); // a move without a button held ends a drag that another window started
    labelTimer_.setSingleShot(true);
    labelTimer_.setInterval(kValueShownMs);
    connect(&labelTimer_, &QTimer::timeout, this, &ModuleWindow::RestoreLabels);
    dragTimer_.setInterval(10);
    connect(&dragTimer_, &QTimer::timeout, this, &ModuleWindow::DragTick);
    Build();
    Refresh(); // the texts first: the layout measures them
    Relayout();
}

ModuleWindow::~ModuleWindow() = default;

QString ModuleWindow::Text(int number) const {
    return Q(canvas_.Strings().Text(number));
}
DialogBaseUnits ModuleWindow::BaseUnits() const {
    return base_;
}
const ColourSlots& ModuleWindow::Colours() const {
    return canvas_.Settings().ColourSettings;
}

// ---------------------------------------------------------------- building

void ModuleWindow::Build() {
    const KindSchema& schema = Schema(module_.kind);
    const ColourSlots& colours = Colours();

    rename_ = new PillButton(QStringLiteral("E"), colours, this);
    rename_->setObjectName("moduleRename");
    rename_->setFocusPolicy(Qt::NoFocus);
    connect(rename_, &QPushButton::clicked, this, &ModuleWindow::Rename);
    title_ = new QLabel(this);
    title_->setObjectName("moduleTitle");
    title_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title_->setWordWrap(true);
    close_ = new PillButton(QStringLiteral("X"), colours, this);
    close_->setObjectName("moduleClose");
    close_->setFocusPolicy(Qt::NoFocus);
    connect(close_, &QPushButton::clicked, this, [this] { canvas_.RequestRemoval(id_); });

    auto newLabel = [this](const char* name, int field) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("%1%2").arg(name).arg(field));
        return label;
    };
    auto newList = [this](const char* name, int field) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString("%1%2").arg(name).arg(field));
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(4);
        list->setFocusPolicy(Qt::StrongFocus);
        return list;
    };
    auto newSlider = [this](SliderBinding binding) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setFocusPolicy(Qt::StrongFocus);
        binding.slider = slider;
        sliders_.push_back(std::make_unique<SliderBinding>(binding));
        SliderBinding* b = sliders_.back().get();
        connect(slider, &QSlider::sliderPressed, this, [this] { gesture_ = NextGesture(); });
        connect(slider, &QSlider::valueChanged, this, [this, b](int position) {
            if (!updating_) SliderMoved(*b, position);
        });
        return slider;
    };

    // Links: label, source list, value slider(s) and the sensitivity slider in the same place.
    for (const LinkDesc& d : schema.links) {
        LinkControls c;
        c.field = d.field;
        c.label = newLabel("linkLabel", d.field);
        c.source = newList("linkSource", d.field);
        const int field = d.field;
        connect(c.source, &QComboBox::activated, this, [this, field](int index) {
            const QComboBox* list = links_[size_t(field)].source;
            const int64_t id = index < 0 ? kNoSource : list->itemData(index).toLongLong();
            canvas_.EditField({id_, FieldRole::LinkSource, field}, id);
            ApplyVisibility();
        });
        std::vector<QWidget*> lineWidgets{c.label};
        if (d.hasValue && d.slider.Exists()) {
            SliderBinding b{.ref = {id_, FieldRole::LinkValue, d.field},
                            .range = d.slider,
                            .longRange = d.longSlider,
                            .shown = d.shown,
                            .link = d.field,
                            .label = c.label};
            c.values.push_back(newSlider(b));
        }
        // The oscillator's frequency multiplier is the frequency link's second value slider.
        if (module_.kind == ModuleKind::AudioOsc && d.field == osc::Frequency) {
            const RealDesc& r = osc::kReals[osc::FrequencyMultiplier];
            c.valueLabels.push_back(newLabel("baseLabel", d.field));
            QLabel* multiplierLabel = newLabel("realLabel", r.field);
            c.valueLabels.push_back(multiplierLabel);
            SliderBinding b{.ref = {id_, FieldRole::Real, r.field},
                            .range = r.slider,
                            .shown = r.shown,
                            .link = d.field,
                            .label = multiplierLabel};
            c.values.push_back(newSlider(b));
        }
        SliderBinding s{.ref = {id_, FieldRole::LinkSensitivity, d.field},
                        .range = d.sensitivity,
                        .shown = {kStatusTextNumber},
                        .sensitivity = true,
                        .link = d.field,
                        .label = c.label};
        c.sensitivity = newSlider(s);
        links_.push_back(c);
    }
    // Plain inputs: a source list without "manual".
    for (const InputDesc& d : schema.inputs) {
        ListBinding b{newList("input", d.field), FieldRole::Input, d.field, newLabel("inputLabel", d.field)};
        lists_.push_back(b);
    }
    // Plain numbers with a slider (the oscillator's multiplier went with its frequency).
    for (const RealDesc& d : schema.reals) {
        if (!d.slider.Exists() ||
            (module_.kind == ModuleKind::AudioOsc && d.field == osc::FrequencyMultiplier))
            continue;
        QLabel* label = newLabel("realLabel", d.field);
        SliderBinding b{
            .ref = {id_, FieldRole::Real, d.field}, .range = d.slider, .shown = d.shown, .label = label};
        newSlider(b);
    }
    for (const IntDesc& d : schema.ints)
        lists_.push_back(
            {newList("int", d.field), FieldRole::Integer, d.field, newLabel("intLabel", d.field)});
    for (const EnumDesc& d : schema.enums)
        lists_.push_back(
            {newList("enum", d.field), FieldRole::Enum, d.field, newLabel("enumLabel", d.field)});
    for (const DeviceParamDesc& d : schema.devices)
        lists_.push_back(
            {newList("device", d.field), FieldRole::Device, d.field, newLabel("deviceLabel", d.field)});
    for (ListBinding& b : lists_) {
        ListBinding* binding = &b;
        connect(b.list, &QComboBox::activated, this, [this, binding](int index) {
            const int64_t number = index < 0 ? -1 : binding->list->itemData(index).toLongLong();
            const int64_t none = binding->role == FieldRole::Device ? kNoOutputDevice : kNoSource;
            canvas_.EditField({id_, binding->role, binding->field}, index < 0 ? none : number);
        });
    }
    for (const BoolDesc& d : schema.bools) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QString("bool%1").arg(d.field));
        box->setFocusPolicy(Qt::StrongFocus);
        const int field = d.field;
        connect(box, &QCheckBox::clicked, this, [this, field](bool on) {
            canvas_.EditField({id_, FieldRole::Bool, field}, on);
            SetSlidersFromFields(); // a long mode changes a slider's range
        });
        bools_.push_back({box, d.field});
    }
    if (!HasModulePart(module_.kind)) {
        for (const TextDesc& d : schema.texts) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QString("text%1").arg(d.field));
            const int field = d.field;
            connect(edit, &QLineEdit::editingFinished, this, [this, edit, field] {
                const std::optional<FieldValue> now = canvas_.Editor().Get({id_, FieldRole::Text, field});
                const std::string text = edit->text().toStdString();
                if (!now || std::get<std::string>(*now) != text)
                    canvas_.EditField({id_, FieldRole::Text, field}, text);
            });
            texts_.push_back({edit, newLabel("textLabel", d.field), d.field});
        }
    }
    part_ = MakeModulePart(*this, module_.kind, this);
}

int ModuleWindow::NextGesture() {
    static int counter = 0;
    return ++counter;
}

// ---------------------------------------------------------------- layout

// A group is a few lines that belong together (a link's label, list and sliders); each line holds one
// control across the width or a label and a control side by side.
struct ModuleWindow::Line {
    QWidget* left = nullptr;  // alone: across the width
    QWidget* right = nullptr; // beside the left one, in the right part
    int heightDu = 0;
    std::vector<QWidget*> stacked; // more controls in the right (or whole) place, shown one at a time
};

std::vector<std::vector<ModuleWindow::Line>> ModuleWindow::Groups(bool compact) const {
    std::vector<std::vector<Line>> groups;
    for (const LinkControls& c : links_) {
        std::vector<Line> g;
        g.push_back({c.label, nullptr, kLabelDu});
        QSlider* first = c.values.empty() ? nullptr : c.values.front();
        if (compact) {
            Line l{c.source, first ? static_cast<QWidget*>(first) : c.sensitivity, kListDu};
            if (first) l.stacked.push_back(c.sensitivity);
            g.push_back(l);
        } else {
            g.push_back({c.source, nullptr, kListDu});
            Line l{first ? static_cast<QWidget*>(first) : c.sensitivity, nullptr, kSliderDu};
            if (first && c.valueLabels.empty()) l.stacked.push_back(c.sensitivity);
            if (!c.valueLabels.empty()) {
                // Base frequency and multiplier, each with its label; the sensitivity slider takes the
                // first's place.
                g.back() = {c.source, nullptr, kListDu};
                g.push_back({c.valueLabels[0], nullptr, kLabelDu});
                g.push_back({c.values[0], nullptr, kSliderDu, {c.sensitivity}});
                g.push_back({c.valueLabels[1], nullptr, kLabelDu});
                g.push_back({c.values[1], nullptr, kSliderDu});
                groups.push_back(std::move(g));
                continue;
            }
            g.push_back(l);
        }
        for (size_t i = 1; i < c.values.size(); ++i) {
            if (compact && i - 1 < c.valueLabels.size())
                g.push_back({c.valueLabels[i], c.values[i], kSliderDu});
            else
                g.push_back({c.values[i], nullptr, kSliderDu});
        }
        groups.push_back(std::move(g));
    }
    for (const auto& s : sliders_) {
        if (s->ref.role != FieldRole::Real || s->link >= 0) continue;
        if (compact)
            groups.push_back({{s->label, s->slider, kSliderDu}});
        else
            groups.push_back({{s->label, nullptr, kLabelDu}, {s->slider, nullptr, kSliderDu}});
    }
    for (const ListBinding& b : lists_) {
        if (compact)
            groups.push_back({{b.label, b.list, kListDu}});
        else
            groups.push_back({{b.label, nullptr, kLabelDu}, {b.list, nullptr, kListDu}});
    }
    for (const TextBinding& t : texts_)
        groups.push_back({{t.label, nullptr, kLabelDu}, {t.edit, nullptr, kEditDu}});
    if (!bools_.empty()) {
        std::vector<Line> g;
        for (const BoolBinding& b : bools_) g.push_back({b.box, nullptr, kBoxDu});
        groups.push_back(std::move(g));
    }
    return groups;
}

void ModuleWindow::Relayout() {
    font_ = DialogFont(canvas_.Settings().LanguageCode);
    setFont(font_);
    base_ = BaseUnitsOf(font_);
    const QSize du = TemplateSizeDu(module_.kind);
    const QRect pixels = DialogUnitsToPixels(QRect(QPoint(0, 0), du), base_);
    const QPoint centre = isVisible() || moved_ ? Centre() : QPoint();
    setFixedSize(pixels.size());
    setMask(RoundedWindowRegion(pixels.size()));
    if (moved_) CentreOn(centre);
    LayOut();
    ApplyColours();
    update();
}

void ModuleWindow::LayOut() {
    const QSize templ = TemplateSizeDu(module_.kind);
    const int w = templ.width();
    auto place = [this](QWidget* widget, int x, int y, int width, int height) {
        if (widget) widget->setGeometry(DialogUnitsToPixels(QRect(x, y, width, height), base_));
    };
    // The common controls; the narrow template packs them into its width.
    place(rename_, 4, 4, 14, 18);
    place(close_, w - 18, 4, 14, 18);
    place(title_, 19, 5, w - 38, 20);

    const int partDu = part_ ? part_->HeightDu() : 0;
    const int room = templ.height() - kTopDu - kBottomDu - partDu;
    bool compact = false;
    auto groups = Groups(false);
    auto needed = [](const std::vector<std::vector<Line>>& gs) {
        int total = 0;
        for (const auto& g : gs) {
            for (const Line& l : g) total += l.heightDu;
            total += 1;
        }
        return total;
    };
    if (needed(groups) > room) {
        compact = true;
        groups = Groups(true);
    }
    const int spare = std::max(0, room - needed(groups));
    const int gap = groups.empty() ? 0 : std::min(kMaxGapDu, 1 + spare / int(groups.size()));
    const int inner = w - 2 * kMarginDu;
    // Side by side, the labels take what their longest text needs, between a third and three fifths.
    int leftWidth = inner * 9 / 20;
    if (compact) {
        int widest = 0;
        for (const auto& g : groups)
            for (const Line& l : g)
                if (l.right)
                    if (const auto* label = qobject_cast<const QLabel*>(l.left))
                        widest = std::max(widest, QFontMetrics(font_).horizontalAdvance(label->text()));
        const int widestDu = (widest * 4 + base_.width - 1) / std::max(1, base_.width) + 3;
        leftWidth = std::clamp(widestDu, inner * 9 / 20, inner * 3 / 5);
    }
    int y = kTopDu;
    for (const auto& g : groups) {
        for (const Line& l : g) {
            if (l.right) {
                place(l.left, kMarginDu, y, leftWidth - 2, l.heightDu);
                place(l.right, kMarginDu + leftWidth, y, inner - leftWidth, l.heightDu);
                for (QWidget* s : l.stacked)
                    place(s, kMarginDu + leftWidth, y, inner - leftWidth, l.heightDu);
            } else {
                place(l.left, kMarginDu, y, inner, l.heightDu);
                for (QWidget* s : l.stacked) place(s, kMarginDu, y, inner, l.heightDu);
            }
            y += l.heightDu;
        }
        y += gap;
    }
    FitTexts();
    if (part_) place(part_.get(), kMarginDu, templ.height() - kBottomDu - partDu, inner, partDu);
}

// A label or check box whose text is wider than its place (a long word of a language in the narrow
// template) takes a smaller font, down to 6 points, rather than being cut.
void ModuleWindow::FitTexts() {
    auto fit = [this](QWidget& widget, const QString& text, int room) {
        QFont font = font_;
        while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > 6.0)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        widget.setFont(font);
    };
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label != title_) fit(*label, label->text(), label->contentsRect().width());
    for (const BoolBinding& b : bools_) {
        const QStyle* style = b.box->style();
        const int room = b.box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b.box) -
                         style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b.box);
        fit(*b.box, b.box->text(), room);
    }
}

void ModuleWindow::ApplyColours() {
    const ColourSlots& colours = Colours();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(colours[kColourModuleBackground]));
    palette.setColor(QPalette::WindowText, ToQColor(colours[kColourModuleText]));
    setPalette(palette);
    setAutoFillBackground(false);
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        ApplyModuleColours(*label, ControlColourKind::Static, 0, colours);
    for (QCheckBox* box : findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
        ApplyModuleColours(*box, ControlColourKind::Static, 0, colours);
    for (QComboBox* list : findChildren<QComboBox*>(Qt::FindDirectChildrenOnly))
        ApplyModuleColours(*list, ControlColourKind::DropDown, 0, colours);
    for (QLineEdit* edit : findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        ApplyModuleColours(*edit, ControlColourKind::Edit, 0, colours);
    for (const auto& s : sliders_) {
        // The polyphonicator's sliders are coloured like labels; every slider sits on the module
        // background.
        ApplyModuleColours(*s->slider, ControlColourKind::Static, 1069, colours);
    }
    if (part_) part_->update();
}

// ---------------------------------------------------------------- refresh

void ModuleWindow::Refresh() {
    const KindSchema& schema = Schema(module_.kind);
    updating_ = true;
    setWindowTitle(Q(module_.name));
    title_->setText(Q(module_.name));
    auto labelText = [this](int number, int arg) { return LabelText(number, arg); };
    for (size_t i = 0; i < links_.size(); ++i) {
        const LinkDesc& d = schema.links[i];
        LinkControls& c = links_[i];
        c.label->setText(labelText(d.label, d.labelArg));
        FillSourceList(*c.source, module_.Link(d.field).source, true, d.noneLabel);
        if (!c.valueLabels.empty()) {
            c.valueLabels[0]->setText(Text(83));
            c.valueLabels[1]->setText(Text(osc::kReals[osc::FrequencyMultiplier].label));
        }
    }
    for (ListBinding& b : lists_) {
        switch (b.role) {
        case FieldRole::Input: {
            const InputDesc& d = schema.inputs[size_t(b.field)];
            b.label->setText(labelText(d.label, d.labelArg));
            FillSourceList(*b.list, module_.Input(b.field), false, 0);
            break;
        }
        case FieldRole::Integer:
            b.label->setText(labelText(schema.ints[size_t(b.field)].label, 0));
            FillIntList(*b.list, b.field);
            break;
        case FieldRole::Enum: {
            const EnumDesc& d = schema.enums[size_t(b.field)];
            b.label->setText(labelText(d.label, 0));
            ListItems items;
            for (size_t k = 0; k < d.table.size(); ++k)
                items.emplace_back(k < d.optionLabels.size() ? Text(d.optionLabels[k])
                                                             : Q(std::string(d.table[k])),
                                   qlonglong(k));
            SetItems(*b.list, items);
            b.list->setCurrentIndex(ListIndexOf(*b.list, module_.Enum(b.field)));
            break;
        }
        case FieldRole::Device: {
            const DeviceParamDesc& d = schema.devices[size_t(b.field)];
            b.label->setText(labelText(d.label, d.labelArg));
            FillDeviceList(*b.list, module_.Device(b.field));
            break;
        }
        default:
            break;
        }
    }
    for (const auto& s : sliders_)
        if (s->ref.role == FieldRole::Real && s->link < 0)
            s->label->setText(labelText(schema.reals[size_t(s->ref.index)].label,
                                        schema.reals[size_t(s->ref.index)].labelArg));
    for (BoolBinding& b : bools_) {
        b.box->setText(Text(schema.bools[size_t(b.field)].label));
        b.box->setChecked(module_.Bool(b.field));
    }
    for (TextBinding& t : texts_) {
        t.label->setText(Text(schema.texts[size_t(t.field)].label));
        if (!t.edit->hasFocus()) t.edit->setText(Q(module_.texts[size_t(t.field)]));
    }
    for (const auto& s : sliders_) s->showing = false;
    labelTimer_.stop();
    updating_ = false;
    FitTexts();
    SetSlidersFromFields();
    ApplyVisibility();
    if (part_) part_->Refresh();
}

void ModuleWindow::FillSourceList(QComboBox& list, SourceId selected, bool offerManual, int16_t noneLabel) {
    ListItems items;
    items.emplace_back(noneLabel ? Text(noneLabel) : QString(), qlonglong(kNoSource));
    if (offerManual) items.emplace_back(Text(kManualTextNumber), qlonglong(kManualSource));
    for (const auto& [label, id] : kOfferedMeasures) items.emplace_back(Text(label), qlonglong(id));
    const Engine& engine = canvas_.CanvasSession().GetEngine();
    for (int s = 0; s < kSlotCount; ++s) {
        const ModuleSlot& slot = engine.slots[size_t(s)];
        if (!slot.Taken()) continue;
        QString text = Q(slot.name);
        if (!slot.outputLabel.empty()) text += " - ( " + Q(slot.outputLabel) + " )";
        items.emplace_back(text, qlonglong(s));
    }
    SetItems(list, items);
    list.setCurrentIndex(ListIndexOf(list, selected));
}

void ModuleWindow::FillDeviceList(QComboBox& list, int32_t selected) {
    ListItems items;
    for (const DeviceChoice& c : canvas_.Devices(DeviceListKind::Output))
        items.emplace_back(Q(c.label), qlonglong(c.data));
    SetItems(list, items);
    list.setCurrentIndex(ListIndexOf(list, selected));
}

void ModuleWindow::FillIntList(QComboBox& list, int field) {
    // The device numbers: wave input devices for the audio input, MIDI input devices for the others.
    ListItems items{{QString(), qlonglong(kNoMidiDevice)}};
    const auto which =
        module_.kind == ModuleKind::AudioInput ? DeviceListKind::WaveInput : DeviceListKind::MidiInput;
    for (const DeviceChoice& c : canvas_.Devices(which)) items.emplace_back(Q(c.label), qlonglong(c.data));
    const int32_t value = module_.Int(field);
    const bool listed =
        std::any_of(items.begin(), items.end(), [value](const auto& i) { return i.second == value; });
    // A device the file names that is not there now: shown, so that it is not lost from view.
    if (!listed) items.emplace_back(QString("%1 ?").arg(value), qlonglong(value));
    SetItems(list, items);
    list.setCurrentIndex(ListIndexOf(list, value));
}

void ModuleWindow::ApplyVisibility() {
    for (const LinkControls& c : links_) {
        const bool manual = module_.Link(c.field).source == kManualSource;
        for (QSlider* s : c.values) s->setVisible(manual);
        for (QLabel* l : c.valueLabels) l->setVisible(manual);
        c.sensitivity->setVisible(!manual);
    }
}

bool ModuleWindow::LongMode(int link) const {
    for (const BoolDesc& d : Schema(module_.kind).bools)
        if (d.longRangeOf == link && module_.Bool(d.field)) return true;
    return false;
}

void ModuleWindow::SetSlidersFromFields() {
    updating_ = true;
    for (const auto& s : sliders_) {
        const SliderRange r = s->longRange.Exists() && LongMode(s->link) ? s->longRange : s->range;
        s->slider->setRange(r.lower, r.upper);
        const double field = AsDouble(canvas_.Editor().Get(s->ref));
        s->slider->setValue(Truncated(field * r.factor));
    }
    updating_ = false;
}

// ---------------------------------------------------------------- sliders

void ModuleWindow::SliderMoved(SliderBinding& b, int position) {
    const SliderRange r = b.longRange.Exists() && LongMode(b.link) ? b.longRange : b.range;
    const double value = double(position) / r.factor;
    canvas_.EditField(b.ref, value, b.slider->isSliderDown() ? gesture_ : NextGesture());
    ShowValue(b);
}

QString ModuleWindow::ValueText(const SliderBinding& b) const {
    const LanguageStrings& strings = canvas_.Strings();
    if (b.sensitivity) return Q(FormatNumberText(strings.Text(kStatusTextNumber), b.slider->value()));
    if (b.shown.format == 0) return {};
    double value = AsDouble(canvas_.Editor().Get(b.ref)) * b.shown.scale;
    if (b.shown.ofFrequency) {
        // The oscillator: frequency link value x multiplier; the modulator: its two plain numbers.
        if (module_.kind == ModuleKind::AudioOsc)
            value = module_.Link(osc::Frequency).value * module_.Real(osc::FrequencyMultiplier);
        else
            value = module_.Real(modulator::BaseFrequency) * module_.Real(modulator::FrequencyMultiplier);
    }
    return Q(FormatNumberText(strings.Text(b.shown.format), value));
}

void ModuleWindow::ShowValue(SliderBinding& b) {
    const double now = b.slider->value();
    if (b.shownValue == now && b.showing) return;
    b.shownValue = now;
    const QString text = ValueText(b);
    if (text.isEmpty() || !b.label) return;
    b.label->setText(text);
    b.showing = true;
    labelTimer_.start();
}

void ModuleWindow::RestoreLabels() {
    for (const auto& s : sliders_) s->showing = false;
    // The labels take their captions again (the lists and selections stay as they are).
    const KindSchema& schema = Schema(module_.kind);
    for (size_t i = 0; i < links_.size(); ++i) {
        const LinkDesc& d = schema.links[i];
        links_[i].label->setText(LabelText(d.label, d.labelArg));
        if (!links_[i].valueLabels.empty())
            links_[i].valueLabels[1]->setText(Text(osc::kReals[osc::FrequencyMultiplier].label));
    }
    for (const auto& s : sliders_)
        if (s->ref.role == FieldRole::Real && s->link < 0) {
            const RealDesc& d = schema.reals[size_t(s->ref.index)];
            s->label->setText(LabelText(d.label, d.labelArg));
        }
}

// A label of the table: its text, formatted with its number where the text takes one ("Dendrite %ld
// control" of the neuron's dendrite 0 takes 0).
QString ModuleWindow::LabelText(int number, int arg) const {
    const std::string& text = canvas_.Strings().Text(number);
    return Q(text.find('%') == std::string::npos ? text : FormatNumberText(text, arg));
}

QString ModuleWindow::LabelText(int field, FieldRole role) const {
    for (const auto& s : sliders_)
        if (s->ref.index == field && s->ref.role == role && s->label) return s->label->text();
    return {};
}

QComboBox* ModuleWindow::InputList(int field) const {
    return ListOf(FieldRole::Input, field);
}
QComboBox* ModuleWindow::EnumList(int field) const {
    return ListOf(FieldRole::Enum, field);
}
QComboBox* ModuleWindow::DeviceList(int field) const {
    return ListOf(FieldRole::Device, field);
}
QComboBox* ModuleWindow::IntList(int field) const {
    return ListOf(FieldRole::Integer, field);
}
QComboBox* ModuleWindow::ListOf(FieldRole role, int field) const {
    for (const ListBinding& b : lists_)
        if (b.role == role && b.field == field) return b.list;
    return nullptr;
}
QSlider* ModuleWindow::RealSlider(int field) const {
    for (const auto& s : sliders_)
        if (s->ref.role == FieldRole::Real && s->ref.index == field) return s->slider;
    return nullptr;
}
QCheckBox* ModuleWindow::BoolBox(int field) const {
    for (const BoolBinding& b : bools_)
        if (b.field == field) return b.box;
    return nullptr;
}

// ---------------------------------------------------------------- placement and drag

void ModuleWindow::CentreOn(const QPoint& global) {
    // Halves toward zero, as the window's left and top are computed.
    move(global.x() - width() / 2, global.y() - height() / 2);
    moved_ = true;
}

QPoint ModuleWindow::Centre() const {
    const QRect r = frameGeometry();
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

void ModuleWindow::Follow(const QPoint& delta) {
    move(pos() + delta);
    canvas_.Editor().Move(id_, {module_.position.x + delta.x(), module_.position.y + delta.y()});
}

void ModuleWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    grab_ = event->position().toPoint();
    bool& dragging = canvas_.DragInProgress();
    if (canvas_.CountModuleWindowsAt(event->globalPosition().toPoint()) > 1 && dragging) return;
    dragging = true;
    dragStart_ = module_.position;
    dragTimer_.start();
}

void ModuleWindow::DragTick() {
    if (!canvas_.DragInProgress()) {
        dragTimer_.stop();
        EndDrag();
        return;
    }
    const QPoint cursor = QCursor::pos();
    QPoint& last = canvas_.LastDragCursor();
    if (cursor == last) return;
    last = cursor;
    const QPoint c = mapFromGlobal(cursor);
    if (c == grab_) return;
    move(pos() + (c - grab_));
    const QPoint centre = Centre();
    module_.refX = centre.x();
    module_.refY = centre.y();
    repaint();
}

void ModuleWindow::EndDrag() {
    const QPoint centre = Centre();
    const Point after{centre.x(), centre.y()};
    if (after != dragStart_) canvas_.ModuleMoved(id_, dragStart_, after);
    dragStart_ = after;
}

void ModuleWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        canvas_.DragInProgress() = false;
        if (dragTimer_.isActive()) {
            dragTimer_.stop();
            EndDrag();
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void ModuleWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton && canvas_.DragInProgress()) {
        canvas_.DragInProgress() = false;
        if (dragTimer_.isActive()) {
            dragTimer_.stop();
            EndDrag();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void ModuleWindow::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc do nothing in a module window (its hidden default button takes Enter).
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------- rename, detach, paint

void ModuleWindow::Rename() {
    std::optional<std::string> name = AskName(this, canvas_.Settings(), canvas_.Strings(), module_.name);
    if (name && *name != module_.name) canvas_.RenameModule(id_, *name);
}

void ModuleWindow::Detach() {
    dragTimer_.stop();
    labelTimer_.stop();
    if (part_) part_->Detach();
}

void ModuleWindow::Tick() {
    if (part_) part_->Tick();
}

void ModuleWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setMask(RoundedWindowRegion(size()));
}

void ModuleWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ColourSlots& colours = Colours();
    const uint32_t m = colours[kColourModuleBackground];
    const uint32_t ring = MixColours(m, colours[kColourModuleText], 75);
    painter.fillRect(rect(), ToQColor(m));
    // Three 1-pixel rings along the rounded outline: the outer and the inner mixed with the text colour.
    const int cw = width(), ch = height();
    const std::pair<QRect, uint32_t> rings[] = {{QRect(0, 0, cw + 1, ch + 1), ring},
                                                {QRect(1, 1, cw - 1, ch - 1), m},
                                                {QRect(2, 2, cw - 3, ch - 3), ring}};
    for (const auto& [r, colour] : rings) {
        const QRegion outline = RoundedRegion(r, kCornerEllipse);
        const QRegion inside = RoundedRegion(r.adjusted(1, 1, -1, -1), kCornerEllipse - 2);
        painter.setClipRegion(outline - inside);
        painter.fillRect(r, ToQColor(colour));
    }
}

} // namespace mw
