// SPDX-License-Identifier: MIT
#include "ui/TandorAboutForm.h"

#include "TandorVersion.h"
#include "ui/ClientArea.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <qdrawutil.h>

#include <limits>

namespace {

// "+ 0" keeps a part that the project version leaves out (an empty definition) at 0.
constexpr unsigned long kVersionParts[] = {
    TANDOR_VERSION_MAJOR + 0UL,
    TANDOR_VERSION_MINOR + 0UL,
    TANDOR_VERSION_PATCH + 0UL,
    TANDOR_VERSION_TWEAK + 0UL,
};
static_assert(kVersionParts[0] <= std::numeric_limits<uint16_t>::max() &&
                  kVersionParts[1] <= std::numeric_limits<uint16_t>::max() &&
                  kVersionParts[2] <= std::numeric_limits<uint16_t>::max() &&
                  kVersionParts[3] <= std::numeric_limits<uint16_t>::max(),
              "each part of the project version must fit in 16 bits");

constexpr TFileVersion kProgramVersion{
    uint16_t(kVersionParts[0]),
    uint16_t(kVersionParts[1]),
    uint16_t(kVersionParts[2]),
    uint16_t(kVersionParts[3]),
};

const char *const kPicture = ":/tandor/tandor-config.png";

// White, a raised inner bevel inside a lowered outer one.
class TBevelPanel : public QWidget
{
public:
    explicit TBevelPanel(QWidget *parent) : QWidget(parent)
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
        // A widget without a background role of its own takes its parent's, and the dialog
        // paints with the button face: the panel fills with its own white window colour.
        setBackgroundRole(QPalette::Window);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
        qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

} // namespace

std::optional<TFileVersion> FileVersionOf(const QString &fileName)
{
    if (fileName.isEmpty())
        return kProgramVersion;
    if (QCoreApplication::instance()) {
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        if (!self.isEmpty() && QFileInfo(fileName).canonicalFilePath() == self)
            return kProgramVersion;
    }
    return std::nullopt;
}

QString FormatVersion(const QString &format, const TFileVersion &version)
{
    const uint16_t parts[] = {version.major, version.minor, version.release, version.build};
    std::size_t next = 0;
    QString result;
    result.reserve(format.size() + 16);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar spec = format.at(i + 1);
            if (spec == QLatin1Char('%')) {
                result += QLatin1Char('%');
                ++i;
                continue;
            }
            if (spec == QLatin1Char('d') && next < std::size(parts)) {
                result += QString::number(parts[next++]);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QString FormatFileVersion(const QString &fileName, const QString &format)
{
    const std::optional<TFileVersion> version = FileVersionOf(fileName);
    return version ? FormatVersion(format, *version) : QString();
}

TImage::TImage(QWidget *parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage &picture)
{
    fPicture = picture;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (fPicture.isNull())
        return;
    QRect target(QPoint(0, 0), fPicture.size().scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, fPicture);
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    // A dialog border with a title but no caption buttons: OK is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setBackgroundRole(QPalette::Button);
    setFixedSize(296, 287);

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 281, 237);

    Image1 = new TImage(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(91, 12, 104, 105);
    Image1->SetPicture(QImage(QString::fromLatin1(kPicture)));

    // The product name takes the size of its text, centred where it was designed: the
    // font that stands in for Arial may be larger.
    ProductName = new TLabel(QStringLiteral("Tandor Setup"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont productFont(QStringLiteral("Arial"));
    productFont.setBold(true);
    productFont.setPixelSize(19);
    ProductName->setFont(productFont);
    ProductName->SetAutoSize(true);
    ProductName->setGeometry(81, 133, 118, 22);

    Version =
        MakeLabel(Panel1, "Version", QStringLiteral("Version 0.0.0"), QRect(75, 159, 129, 13));
    Copyright = MakeLabel(Panel1, "Copyright",
                          QStringLiteral("Copyright \u00A9 2026 tandor-config developers"),
                          QRect(16, 192, 249, 13));
    WebAddress =
        MakeLabel(Panel1, "WebAddress", QStringLiteral("https://tandor-config.example.org"),
                  QRect(36, 208, 209, 15));
    WebAddress->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette black = WebAddress->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    WebAddress->setPalette(black);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 252, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::FormShow()
{
    ProductName->AdjustBounds();
    Version->setText(QStringLiteral("Version: ") +
                     FormatFileVersion(QString(), QStringLiteral("%d.%d.%d.%d")));
}

void TAboutBox::OKButtonClick()
{
    accept();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    // Only a change from hidden to visible that the program made; the window system's own
    // show events (a restore from minimised) leave text and place alone.
    if (!event->spontaneous()) {
        FormShow();
        CentreOverOwner();
    }
    QDialog::showEvent(event);
}

void TAboutBox::CentreOverOwner()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect over;
    if (owner)
        over = owner->frameGeometry();
    else if (screen())
        over = screen()->availableGeometry();
    else
        return;
    QRect mine = frameGeometry();
    mine.moveCenter(over.center());
    move(mine.topLeft());
}
