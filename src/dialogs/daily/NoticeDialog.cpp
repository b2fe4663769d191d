#include "dialogs/daily/NoticeDialog.h"

#include "dialogs/daily/DailyDialogSupport.h"
#include "print/NoticePainter.h"
#include "store/SchoolStore.h"
#include "store/StoreError.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DailyNotice.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

NoticeDialog::NoticeDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("代课单"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_date = DailyDialogs::dateRow(top, this);
    top->addStretch();
    auto* printButton = new QPushButton(QStringLiteral("打印…"), this);
    auto* pdfButton = new QPushButton(QStringLiteral("导出 PDF…"), this);
    auto* pngButton = new QPushButton(QStringLiteral("导出图片…"), this);
    top->addWidget(printButton);
    top->addWidget(pdfButton);
    top->addWidget(pngButton);
    layout->addLayout(top);
    auto* scroll = new QScrollArea(this);
    scroll->setAlignment(Qt::AlignHCenter);
    m_preview = new QLabel(scroll);
    scroll->setWidget(m_preview);
    layout->addWidget(scroll, 1);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);

    m_chooser = [this](const QString& filter) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("导出代课单"),
                                            QStringLiteral("代课单-%1").arg(m_date->date().toString(Qt::ISODate)),
                                            filter);
    };
    connect(m_date, &QDateEdit::dateChanged, this, [this] { showNotice(); });
    connect(printButton, &QPushButton::clicked, this, &NoticeDialog::print);
    connect(pdfButton, &QPushButton::clicked, this, [this] { exportFile(QStringLiteral("PDF (*.pdf)")); });
    connect(pngButton, &QPushButton::clicked, this, [this] { exportFile(QStringLiteral("PNG 图片 (*.png)")); });
    resize(900, 680);
}

NoticeDialog::~NoticeDialog() = default;

bool NoticeDialog::loadData()
{
    m_data = DailyData();
    if (!DailyDialogs::load(this, m_data, true))
        return false;
    try {
        m_school = SchoolStore::Load();
    } catch (const StoreError& error) {
        DailyDialogs::showMessage(this, error.message());
        return false;
    }
    m_index = std::make_unique<DailyIndex>(m_data.timetable);
    const QSignalBlocker quiet(m_date);
    m_date->setDate(DailyDialogs::startDate(m_data.calendar));
    showNotice();
    return true;
}

void NoticeDialog::setDate(const QDate& date)
{
    m_date->setDate(date);
}

DailyNotice NoticeDialog::notice() const
{
    return DailyNotice::build(m_data, *m_index, m_date->date());
}

void NoticeDialog::showNotice()
{
    if (!m_index)
        return;
    const QImage picture = NoticePainter::Picture(notice(), m_school);
    const int width = 820;
    m_preview->setPixmap(QPixmap::fromImage(picture.scaledToWidth(width, Qt::SmoothTransformation)));
    m_preview->adjustSize();
}

bool NoticeDialog::writeTo(const QString& path)
{
    const OutputResult result = NoticePainter::Write(notice(), m_school, path);
    if (!result.ok()) {
        DailyDialogs::showMessage(this, result.status.message());
        return false;
    }
    return true;
}

void NoticeDialog::exportFile(const QString& filter)
{
    if (!m_index)
        return;
    QString path = m_chooser(filter);
    if (path.isEmpty())
        return;
    if (filter.contains(QLatin1String("*.pdf")) && !path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    writeTo(path);
}

void NoticeDialog::print()
{
    if (!m_index)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const DailyNotice day = notice();
    QPainter painter;
    if (!painter.begin(&printer)) {
        DailyDialogs::showMessage(this, QStringLiteral("无法开始打印。"));
        return;
    }
    const int pages = NoticePainter::PageCount(day);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        NoticePainter::PaintPage(painter, day, m_school, page, QRectF(0, 0, printer.width(), printer.height()));
    }
    painter.end();
}
