#include "dialogs/rules/CRulesDlg.h"

#include "dialogs/rules/CRuleTableDlg.h"
#include "dialogs/rules/CTeacherOffDlg.h"

#include <QLabel>
#include <QPushButton>

CRulesDlg::CRulesDlg(QWidget* parent) : PlanDialog(parent, QStringLiteral("排课规则"), 224, 150)
{
    const QString captions[4] = {QStringLiteral("教师不排课"), QStringLiteral("教师课时限制"), QStringLiteral("场地限制"),
                                 QStringLiteral("连堂设置")};
    const QString notes[4] = {QStringLiteral("整天、半天或某几节不能上课"), QStringLiteral("每天最多、每周最多天数、最多连上"),
                              QStringLiteral("操场、实验室同时最多几个班"), QStringLiteral("每周几次连堂，或不连堂")};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(captions[i], this);
        m_buttons[i]->setAutoDefault(false);
        place(m_buttons[i], 10, 10 + 34 * i, 70, 22);
        auto* note = new QLabel(notes[i], this);
        place(note, 86, 10 + 34 * i, 132, 22);
    }
    connect(m_buttons[0], &QPushButton::clicked, this, [this] {
        CTeacherOffDlg dialog(this);
        dialog.exec();
    });
    const RuleTableLogic::Kind kinds[3] = {RuleTableLogic::Kind::Limits, RuleTableLogic::Kind::Venues,
                                           RuleTableLogic::Kind::Doubles};
    for (int i = 0; i < 3; ++i)
        connect(m_buttons[i + 1], &QPushButton::clicked, this, [this, kind = kinds[i]] {
            CRuleTableDlg dialog(kind, this);
            dialog.exec();
        });
}
