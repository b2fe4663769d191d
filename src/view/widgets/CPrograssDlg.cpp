#include "view/widgets/CPrograssDlg.h"

#include "excel/ExcelProgress.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <thread>

CPrograssDlg::CPrograssDlg(const std::atomic<int>& progressState, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_progressState(progressState), m_timer(new QTimer(this))
{
    setFixedSize(kPictureWidth, kPictureHeight);
    setModal(true);
    m_timer->setInterval(ProgressTicker::kTickMs);
    connect(m_timer, &QTimer::timeout, this, &CPrograssDlg::onTick);
    m_timer->start();
}

void CPrograssDlg::onTick()
{
    if (m_ticker.tick(m_progressState.load())) {
        m_timer->stop();
        accept();
        return;
    }
    update();
}

void CPrograssDlg::reject()
{
}

void CPrograssDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), picture(m_ticker.paintPicture()));
}

QImage CPrograssDlg::picture(int number)
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB888);
    image.fill(QColor(64, 64, 64));
    QString text;
    if (number == ProgressTicker::kDonePicture)
        text = QStringLiteral("数据处理完成！");
    else if (number >= ProgressTicker::kFirstDotsPicture && number < ProgressTicker::kDonePicture)
        text = QStringLiteral("数据正在处理中，请稍后")
             + QString(number - ProgressTicker::kFirstDotsPicture, QChar(u'.'));
    else
        return image;
    QPainter painter(&image);
    QFont font = QGuiApplication::font();
    font.setPixelSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 0));
    // The text starts at a fixed place so the dots grow to the right.
    painter.drawText(QRect(40, 0, kPictureWidth - 40, kPictureHeight), Qt::AlignVCenter | Qt::AlignLeft, text);
    return image;
}

void CPrograssDlg::run(QWidget* parent, std::atomic<int>& progressState, const std::function<void()>& work)
{
    progressState = ExcelProgress::Running;
    std::thread worker([&progressState, &work] {
        try {
            work();
            int running = ExcelProgress::Running;
            progressState.compare_exchange_strong(running, ExcelProgress::Finished);
        } catch (...) {
            progressState = ExcelProgress::Failed;
        }
    });
    CPrograssDlg dialog(progressState, parent);
    dialog.exec();
    worker.join();
}
