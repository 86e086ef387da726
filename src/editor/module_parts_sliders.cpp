// The MIDI slider module's own controls: the list of its sliders with their current values, the
// learning button, and the buttons that remove a slider and switch its sign.

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <vector>

#include "base/text.hpp"
#include "editor/colours.hpp"
#include "editor/module_parts_common.hpp"
#include "editor/pill_widgets.hpp"
#include "engine/kinds/note_modules.hpp"
#include "session/session.hpp"

namespace mw::parts {
namespace {

constexpr int kTextNoItemSelected = 782;
// The learning button's message is English in every language.
constexpr const char* kOnlyWhileRunning =
    "You can only do this while the system is running.\nPress the Start button first.";

enum Column { kNumberColumn, kControllerColumn, kValueColumn, kSignColumn, kColumnCount };

/// The value a slider's row shows: the raw controller value 0..127, or with the sign flag
/// 2 × (raw − 64), scaled so that 0..127 spans −127..127.
double ShownSliderValue(double raw, bool negative) {
    if (!negative) return raw;
    const double centred = 2.0 * (raw - 64.0);
    return centred < 0.0 ? centred * 0.9921875 : centred * 1.007936507936508;
}

class SliderListPart final : public ModulePart {
public:
    SliderListPart(ModulePartHost& host, QWidget* parent)
        : ModulePart(host, parent), list_(new QTreeWidget(this)),
          learn_(new PillButton(QString(), host.Colours(), this)),
          remove_(new PillButton(QStringLiteral("x"), host.Colours(), this)),
          sign_(new PillButton(QStringLiteral("+ / -"), host.Colours(), this)) {
        list_->setObjectName(QStringLiteral("item1399"));
        learn_->setObjectName(QStringLiteral("item1400"));
        remove_->setObjectName(QStringLiteral("item1401"));
        sign_->setObjectName(QStringLiteral("item1402"));
        list_->setColumnCount(kColumnCount);
        list_->setRootIsDecorated(false);
        list_->setUniformRowHeights(true);
        list_->setAllColumnsShowFocus(true);
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        // The sign column takes the rest; a stretched last section would keep its first width at least.
        list_->header()->setStretchLastSection(false);
        list_->header()->setSectionResizeMode(kSignColumn, QHeaderView::Stretch);
        list_->installEventFilter(this);
        QObject::connect(learn_, &QPushButton::clicked, this, [this] { Learn(); });
        QObject::connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
        QObject::connect(sign_, &QPushButton::clicked, this, [this] { SwitchSign(); });
        Refresh();
    }

    int HeightDu() const override { return 87; }

    void Refresh() override {
        const ColourSlots& colours = Host().Colours();
        ApplyModuleColours(*this, ControlColourKind::Dialog, 0, colours);
        ApplyModuleColours(*list_, ControlColourKind::ListBox, 1399, colours);
        // The first column numbers the sliders: the heading is the "Slider %ld" text without its number.
        QString slider = Host().Text(486);
        slider.remove(QStringLiteral("%ld"));
        list_->setHeaderLabels({slider.trimmed(), Host().Text(487), Host().Text(488), Host().Text(489)});
        remove_->setToolTip(Host().Text(492));
        sign_->setToolTip(Host().Text(493));
        learnShown_ = -1;
        ShowLearning();
        Rebuild();
    }

    void Tick() override {
        ShowLearning();
        if (Rows() != rows_)
            Rebuild();
        else
            ShowValues();
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        const int w = WidthDu(Host(), *this);
        list_->setGeometry(Du(Host(), 0, 0, w, 55));
        learn_->setGeometry(Du(Host(), 0, 57, w, 14));
        const int half = std::max(0, (w - 4) / 2);
        remove_->setGeometry(Du(Host(), 0, 73, half, 14));
        sign_->setGeometry(Du(Host(), w - half, 73, half, 14));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == list_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete) {
                Remove();
                return true;
            }
            if (key == Qt::Key_Space) {
                SwitchSign();
                return true;
            }
        }
        return ModulePart::eventFilter(watched, event);
    }

private:
    struct Row {
        int slider;
        int32_t controller;
        bool negative;
        bool operator==(const Row&) const = default;
    };

    Module& Sliders() { return Host().GetModule(); }

    // The sliders in use, in table order.
    std::vector<Row> Rows() {
        std::vector<Row> rows;
        const Module& m = Sliders();
        if (!m.sliders) return rows;
        const int count = std::clamp<int>(m.sliderCount, 0, kMaxSliders);
        for (int k = 0; k < count; ++k) {
            const SliderEntry& entry = (*m.sliders)[size_t(k)];
            if (entry.controller >= 0) rows.push_back({k, entry.controller, entry.negative});
        }
        return rows;
    }

    QString ValueText(const Row& row) {
        return QString::fromStdString(
            FormatNumberText("%g", ShownSliderValue(SliderRawValue(Sliders(), row.slider), row.negative)));
    }

    // The rows again, keeping the selected slider selected.
    void Rebuild() {
        const int selected = Selected();
        rows_ = Rows();
        list_->clear();
        for (const Row& row : rows_) {
            auto* item = new QTreeWidgetItem(list_);
            item->setData(kNumberColumn, Qt::UserRole, row.slider);
            item->setText(kNumberColumn, QString::number(row.slider + 1));
            item->setText(kControllerColumn, QString::fromStdString(FormatLong(row.controller)));
            item->setText(kValueColumn, ValueText(row));
            item->setText(kSignColumn, row.negative ? QStringLiteral("+ / -") : QStringLiteral("+"));
            if (row.slider == selected) list_->setCurrentItem(item);
        }
    }

    // Only the value cells that changed.
    void ShowValues() {
        for (int i = 0; i < list_->topLevelItemCount() && size_t(i) < rows_.size(); ++i) {
            QTreeWidgetItem* item = list_->topLevelItem(i);
            const QString text = ValueText(rows_[size_t(i)]);
            if (item->text(kValueColumn) != text) item->setText(kValueColumn, text);
        }
    }

    void ShowLearning() {
        const int learning = SliderLearning(Sliders()) ? 1 : 0;
        if (learning == learnShown_) return;
        learnShown_ = learning;
        learn_->setText(Host().Text(learning ? 491 : 490));
    }

    // The slider of the selected row; -1 when no row is selected.
    int Selected() const {
        const QList<QTreeWidgetItem*> items = list_->selectedItems();
        return items.isEmpty() ? -1 : items.front()->data(kNumberColumn, Qt::UserRole).toInt();
    }

    void NothingSelected() {
        ShowMessage(this, QMessageBox::NoIcon, Host().Text(0), Host().Text(kTextNoItemSelected));
    }

    void Learn() {
        Module& m = Sliders();
        if (!SliderLearning(m) && !Host().Canvas().CanvasSession().EngineRunning()) {
            ShowMessage(this, QMessageBox::NoIcon, Host().Text(0), QString::fromLatin1(kOnlyWhileRunning));
            return;
        }
        SetSliderLearning(m, !SliderLearning(m));
        ShowLearning();
    }

    void Remove() {
        const int k = Selected();
        if (k < 0) return NothingSelected();
        if (Host().Canvas().Editor().RemoveSlider(Sliders().id, k))
            Host().Canvas().PatchChangedOutsideEdits();
        Rebuild();
    }

    void SwitchSign() {
        const int k = Selected();
        if (k < 0) return NothingSelected();
        const bool negative = !(*Sliders().sliders)[size_t(k)].negative;
        if (Host().Canvas().Editor().SetSliderSign(Sliders().id, k, negative)) {
            // A slider learned from now on starts with the sign last chosen.
            Host().Canvas().RememberSliderSign(negative);
            Host().Canvas().PatchChangedOutsideEdits();
        }
        Rebuild();
    }

    QTreeWidget* list_;
    PillButton* learn_;
    PillButton* remove_;
    PillButton* sign_;
    std::vector<Row> rows_;
    int learnShown_ = -1;
};

} // namespace

std::unique_ptr<ModulePart> MakeSliderListPart(ModulePartHost& host, QWidget* parent) {
    return std::make_unique<SliderListPart>(host, parent);
}

} // namespace mw::parts
