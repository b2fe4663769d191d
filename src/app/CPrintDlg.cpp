#include "app/CPrintDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using Kind = PrintChoice::Kind;

CPrintDlg::CPrintDlg(QWidget* parent, const QString& caption, const QString& goText, const PrintChoice& choice)
    : PlanDialog(parent, caption, 236, 214),
      m_choice(choice),
      m_filter(new QLineEdit(this)),
      m_list(new QListWidget(this)),
      m_all(new QCheckBox(QStringLiteral("全选"), this)),
      m_summary(new QLabel(this)),
      m_go(new QPushButton(goText, this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    auto* group = new QButtonGroup(this);
    const char* texts[] = {"总课表", "教师总课表", "班级课表", "教师课表"};
    const int xs[] = {10, 62, 124, 176};
    for (int i = 0; i < 4; ++i) {
        m_kinds[i] = new QRadioButton(QString::fromUtf8(texts[i]), this);
        group->addButton(m_kinds[i], i);
        place(m_kinds[i], xs[i], 8, i == 1 ? 58 : 50, 10);
    }
    auto* filterLabel = new QLabel(QStringLiteral("查找："), this);
    place(filterLabel, 10, 27, 26, 8);
    place(m_filter, 38, 25, 188, 13);
    place(m_list, 10, 42, 216, 130);
    place(m_all, 10, 177, 50, 10);
    place(m_summary, 64, 178, 162, 8);
    place(m_go, 122, 194, 50, 14);
    place(m_cancel, 176, 194, 50, 14);
    m_filter->setPlaceholderText(QStringLiteral("输入班级或教师名的一部分"));
    m_filter->setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("printChoiceList"));
    m_list->setUniformItemSizes(true); // hundreds of teachers
    m_go->setDefault(true);
    m_kinds[int(m_choice.kind())]->setChecked(true);

    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        m_choice.setKind(Kind(id));
        showKind();
    });
    connect(m_filter, &QLineEdit::textChanged, this, &CPrintDlg::showFilter);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_filling)
            return;
        m_choice.setChosen(m_list->row(item), item->checkState() == Qt::Checked);
        showSummary();
    });
    m_list->viewport()->installEventFilter(this);
    connect(m_all, &QCheckBox::clicked, this, [this](bool checked) {
        m_choice.chooseAll(checked);
        showKind();
    });
    connect(m_go, &QPushButton::clicked, this, &CPrintDlg::onGo);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    showKind();
}

bool CPrintDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A click on a row's name ticks it as a click on its box does (the box
    // itself is left to the list).
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mouse->position().toPoint();
        QListWidgetItem* item = m_list->itemAt(pos);
        const int box = m_list->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 8;
        if (item && mouse->button() == Qt::LeftButton && pos.x() > m_list->visualItemRect(item).left() + box)
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    return PlanDialog::eventFilter(watched, event);
}

void CPrintDlg::offerOverviews(bool offered)
{
    m_kinds[int(Kind::MasterOverview)]->setEnabled(offered);
    m_kinds[int(Kind::TeacherOverview)]->setEnabled(offered);
    if (!offered && !m_choice.hasList()) {
        m_choice.setKind(Kind::Classes);
        m_kinds[int(Kind::Classes)]->setChecked(true);
        showKind();
    }
}

void CPrintDlg::showKind()
{
    m_filling = true;
    m_list->clear();
    const QStringList& names = m_choice.names();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names[i], m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(m_choice.isChosen(i) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
    const bool list = m_choice.hasList();
    m_list->setEnabled(list);
    m_filter->setEnabled(list);
    m_all->setEnabled(list);
    showFilter();
}

void CPrintDlg::showFilter()
{
    std::vector<bool> shown(size_t(m_list->count()), false);
    for (int row : m_choice.matching(m_filter->text()))
        shown[size_t(row)] = true;
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setHidden(!shown[size_t(i)]);
    showSummary();
}

void CPrintDlg::showSummary()
{
    m_summary->setText(m_choice.summary());
    m_all->setChecked(m_choice.allChosen());
}

void CPrintDlg::onGo()
{
    const QString refused = m_choice.refusal();
    if (!refused.isEmpty()) {
        showMessage(refused);
        return;
    }
    accept();
}
