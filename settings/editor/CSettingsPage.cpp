#include "settings/editor/CSettingsPage.h"

#include <algorithm>
#include <map>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "texts/MessageBoxService.h"
#include "texts/TextCatalogue.h"

namespace velomira {
namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const PageTable& TableOf(PageKind kind, int language)
{
    // Languages outside 0..2 have no page; the window creates the English ones for them.
    const PageTable* table = FindPageTable(kind, language);
    return table != nullptr ? *table : *FindPageTable(kind, kLanguageEnglish);
}

// Button and frame captions treat '&' as a mnemonic marker; the device's captions mean it
// literally ("Beep & Watch").
QString Caption(std::string_view text)
{
    return Text(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

CSettingsPage::CSettingsPage(const PageTable& table, MessageBoxService& messages, QWidget* parent)
    : QWidget(parent)
    , m_model(table)
    , m_messages(messages)
{
    setObjectName(QString::number(table.templateId));
    Build();
}

void CSettingsPage::Build()
{
    const PageTable& table = m_model.table();
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->setSpacing(10);
    // A page whose frames all sit in the first column uses the whole width for it.
    const bool twoColumns = std::any_of(table.groups.begin(), table.groups.end(),
        [](const GroupPlan& group) { return group.column != 0; });
    QVBoxLayout* column[2] = { new QVBoxLayout, new QVBoxLayout };
    for (QVBoxLayout* c : column) {
        c->setSpacing(8);
        if (c == column[0] || twoColumns)
            columns->addLayout(c, 1);
    }

    std::vector<QGroupBox*> groups;
    std::vector<QGridLayout*> grids;
    for (std::size_t g = 0; g < table.groups.size(); ++g) {
        const GroupPlan& plan = table.groups[g];
        auto* box = new QGroupBox(Caption(plan.caption), this);
        box->setObjectName(QStringLiteral("group%1").arg(g));
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(6);
        grid->setColumnStretch(1, 1);
        column[plan.column == 0 ? 0 : 1]->addWidget(box);
        box->setVisible(!plan.hidden);
        groups.push_back(box);
        grids.push_back(grid);
    }
    for (QVBoxLayout* c : column)
        c->addStretch(1);
    if (!twoColumns)
        delete column[1];

    // Each (group, line) is one row: label | controls and their unit.
    std::map<std::pair<int, int>, QHBoxLayout*> rows;
    std::map<std::pair<int, int>, bool> rowShown;
    std::map<std::pair<int, int>, std::vector<QLabel*>> rowLabels;
    for (const ControlPlan& plan : table.controls) {
        const auto key = std::make_pair(plan.group, plan.line);
        QGridLayout* grid = grids.at(static_cast<std::size_t>(plan.group));
        QWidget* box = groups.at(static_cast<std::size_t>(plan.group));
        auto found = rows.find(key);
        if (found == rows.end()) {
            auto* row = new QHBoxLayout;
            row->setSpacing(10);
            grid->addLayout(row, plan.line, 1);
            found = rows.emplace(key, row).first;
            rowShown[key] = false;
        }
        if (!plan.label.empty()) {
            auto* label = new QLabel(Text(plan.label), box);
            grid->addWidget(label, plan.line, 0);
            rowLabels[key].push_back(label);
        }
        QWidget* widget = MakeControl(plan);
        widget->setParent(box);
        found->second->addWidget(widget);
        widget->setVisible(!plan.hidden);
        rowShown[key] = rowShown[key] || !plan.hidden;
        if (!plan.unit.empty()) {
            auto* unit = new QLabel(Text(plan.unit), box);
            found->second->addWidget(unit);
            rowLabels[key].push_back(unit);
        }
        Connect(plan, widget);
    }
    for (auto& [key, row] : rows) {
        row->addStretch(1);
        for (QLabel* label : rowLabels[key])
            label->setVisible(rowShown[key]);
    }
}

QWidget* CSettingsPage::MakeControl(const ControlPlan& plan)
{
    QWidget* widget = nullptr;
    switch (plan.kind) {
    case ControlKind::CheckBox:
        widget = new QCheckBox(Caption(plan.caption));
        break;
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(Caption(plan.caption));
        // The page decides which button of a group is checked, none included.
        radio->setAutoExclusive(false);
        widget = radio;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit;
        edit->setMinimumWidth(70);
        edit->setMaximumWidth(110);
        widget = edit;
        break;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(10, 190);
        slider->setPageStep(10);
        slider->setMinimumWidth(160);
        widget = slider;
        break;
    }
    case ControlKind::Field: {
        auto* field = new QLineEdit;
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        field->setMaximumWidth(60);
        widget = field;
        break;
    }
    case ControlKind::DropDown: {
        auto* list = new QComboBox;
        for (int i = 0; i < SettingsPageModel::ListCount(plan.list); ++i)
            list->addItem(QString::fromStdString(SettingsPageModel::ListText(plan.list, i)));
        widget = list;
        break;
    }
    }
    widget->setObjectName(QString::number(plan.id));
    return widget;
}

void CSettingsPage::Connect(const ControlPlan& plan, QWidget* widget)
{
    const int id = plan.id;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] {
            m_model.Click(id);
            Refresh();
        });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && !edit->isReadOnly()) {
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            const auto message = m_model.EditChanged(id, text.toStdString());
            Refresh();
            if (message)
                ShowEditMessage(*message);
        });
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        connect(slider, &QSlider::sliderReleased, this, [this, id, slider] {
            m_model.SliderReleased(id, slider->value());
            Refresh();
        });
        // Keys and clicks beside the handle move it without a drag; they count as a release.
        connect(slider, &QSlider::valueChanged, this, [this, id, slider](int value) {
            if (m_refreshing || slider->isSliderDown())
                return;
            m_model.SliderReleased(id, value);
            Refresh();
        });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        connect(list, &QComboBox::activated, this, [this, id](int index) {
            m_model.Select(id, index);
            Refresh();
        });
    }
}

void CSettingsPage::ShowEditMessage(NumberMessage message)
{
    const MessageUse use = message == NumberMessage::WholeNumber ? MessageUse::EnterWholeNumber
                                                                 : MessageUse::EnterDecimalNumber;
    if (const auto request = ComposeMessage(use, kLanguageJapanese))
        m_messages.Show(*request);
}

void CSettingsPage::LoadFromRecord(SettingsRecord& record)
{
    m_model.LoadFromRecord(record);
    Refresh();
}

void CSettingsPage::Refresh()
{
    m_refreshing = true;
    for (const ControlPlan& plan : m_model.table().controls) {
        const ControlState* state = m_model.State(plan.id);
        QWidget* widget = findChild<QWidget*>(QString::number(plan.id));
        if (state == nullptr || widget == nullptr)
            continue;
        const QSignalBlocker block(widget);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setChecked(state->checked);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = QString::fromStdString(state->text);
            if (edit->text() != text)
                edit->setText(text);
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            if (!slider->isSliderDown() && slider->value() != state->position)
                slider->setValue(state->position);
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            list->setCurrentIndex(state->index);
        }
    }
    m_refreshing = false;
}

void CSettingsPage::keyPressEvent(QKeyEvent* event)
{
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

CTabTwoDlg::CTabTwoDlg(int language, MessageBoxService& messages, QWidget* parent)
    : CSettingsPage(TableOf(PageKind::DrivingAssistance, language), messages, parent)
{ }

CTabThreeDlg::CTabThreeDlg(int language, MessageBoxService& messages, QWidget* parent)
    : CSettingsPage(TableOf(PageKind::Recorder, language), messages, parent)
{ }

CTabFourDlg::CTabFourDlg(int language, MessageBoxService& messages, QWidget* parent)
    : CSettingsPage(TableOf(PageKind::System, language), messages, parent)
{ }

CTabOneDlg::CTabOneDlg(int language, MessageBoxService& messages, QWidget* parent)
    : CSettingsPage(TableOf(PageKind::Install, language), messages, parent)
{ }

CTabFiveDlg::CTabFiveDlg(MessageBoxService& messages, QWidget* parent)
    : CSettingsPage(TableOf(PageKind::Gmt, kLanguageEnglish), messages, parent)
{ }

} // namespace velomira
