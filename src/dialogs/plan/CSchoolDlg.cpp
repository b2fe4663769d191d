#include "dialogs/plan/CSchoolDlg.h"

#include "base/PlanVocabulary.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

CSchoolDlg::CSchoolDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("学校信息"), 250, 84),
      m_name(new QLineEdit(this)),
      m_term(new QLineEdit(this)),
      m_morning(new QSpinBox(this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    auto* nameLabel = new QLabel(QStringLiteral("学校名称："), this);
    auto* termLabel = new QLabel(QStringLiteral("学期："), this);
    auto* morningLabel = new QLabel(QStringLiteral("上午节数："), this);
    auto* note = new QLabel(this);
    place(nameLabel, 12, 11, 44, 8);
    place(m_name, 58, 9, 180, 14);
    place(termLabel, 12, 31, 44, 8);
    place(m_term, 58, 29, 180, 14);
    place(morningLabel, 12, 51, 44, 8);
    place(m_morning, 58, 49, 36, 14);
    place(note, 100, 51, 90, 8);
    place(m_save, 188, 64, 50, 14);
    m_name->setObjectName(QStringLiteral("schoolName"));
    m_term->setObjectName(QStringLiteral("schoolTerm"));
    m_morning->setObjectName(QStringLiteral("morningPeriods"));
    m_term->setPlaceholderText(QStringLiteral("例如 2026—2027学年第一学期"));
    // Any count a day can have: one beyond the stored week is refused on 保存, with a message.
    m_morning->setRange(0, Plan::kMaxPeriods);
    m_save->setDefault(true);

    load([this] {
        m_logic.load();
        return QString();
    });
    m_name->setText(m_logic.details.name);
    m_term->setText(m_logic.details.term);
    m_morning->setValue(std::clamp(m_logic.details.morningPeriods, 0, Plan::kMaxPeriods));
    note->setText(QStringLiteral("每天 %1 节，其余为下午").arg(m_logic.periods));

    connect(m_save, &QPushButton::clicked, this, &CSchoolDlg::onSave);
}

void CSchoolDlg::onSave()
{
    m_logic.details.name = m_name->text();
    m_logic.details.term = m_term->text();
    m_logic.details.morningPeriods = m_morning->value();
    QString refused;
    if (!save([&] { refused = m_logic.save(); }))
        return;
    if (!refused.isEmpty()) {
        showMessage(refused);
        m_morning->setFocus();
        return;
    }
    accept();
}
