#include "dialogs/plan/CDayNumDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

CDayNumDlg::CDayNumDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("周工作计划"), 417, 277),
      m_days(new QComboBox(this)),
      m_periods(new QComboBox(this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    auto* daysLabel = new QLabel(QStringLiteral("工作天数："), this);
    auto* periodsLabel = new QLabel(QStringLiteral("每天节次："), this);
    place(m_save, 360, 6, 50, 14);
    place(daysLabel, 15, 9, 41, 8);
    place(periodsLabel, 143, 9, 41, 8);
    place(m_days, 58, 7, 44, 14);
    place(m_periods, 186, 7, 44, 14);
    m_save->setDefault(true);
    for (int i = 1; i <= WorkWeekLogic::kDayItems; ++i)
        m_days->addItem(QString::number(i));
    for (int i = 2; i <= WorkWeekLogic::kPeriodItems + 1; ++i)
        m_periods->addItem(QString::number(i));

    m_logic.previewArea = units().scaledPixels(m_logic.previewArea);
    load([this] {
        m_logic.load();
        return QString();
    });
    m_days->setCurrentIndex(m_logic.dayIndex());
    m_periods->setCurrentIndex(m_logic.periodIndex());

    connect(m_days, &QComboBox::currentIndexChanged, this, &CDayNumDlg::onComboChanged);
    connect(m_periods, &QComboBox::currentIndexChanged, this, &CDayNumDlg::onComboChanged);
    connect(m_save, &QPushButton::clicked, this, &CDayNumDlg::onSave);
}

void CDayNumDlg::onComboChanged()
{
    m_logic.setFromCombos(m_days->currentIndex(), m_periods->currentIndex());
    update();
}

void CDayNumDlg::onSave()
{
    QString question;
    if (!save([&] { question = m_logic.outsideQuestion(); }))
        return;
    if (!question.isEmpty()) {
        QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::NoButton, this);
        QPushButton* keep = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != keep)
            return;
    }
    if (save([this] { m_logic.save(); }))
        accept();
}

void CDayNumDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintWeekGrid(painter, rect(), m_logic.preview());
}
