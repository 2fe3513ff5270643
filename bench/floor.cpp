// The start-up floor: a bare Qt window of the menu's size painting a backdrop, four button
// pictures and a caption, all made in memory. Its start-up and memory are what the menu is
// measured against. On its first paint it writes "painted <monotonic nanoseconds>" to its output,
// so that the measuring tool can check its own outside view against the window's.

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <array>
#include <cstdio>
#include <ctime>

namespace {

// A 640 by 480 window with the menu's kinds of drawing: one full-size picture, four 214 by 81
// pictures and a line of text.
class FloorWindow : public QWidget
{
public:
    FloorWindow()
    {
        setWindowTitle(QStringLiteral("Floor"));
        setFixedSize(640, 480);
        backdrop_ = QImage(640, 480, QImage::Format_RGB32);
        QPainter back(&backdrop_);
        QLinearGradient gradient(0, 0, 640, 480);
        gradient.setColorAt(0, QColor(10, 60, 30));
        gradient.setColorAt(1, QColor(30, 120, 70));
        back.fillRect(backdrop_.rect(), gradient);
        for (std::size_t i = 0; i < buttons_.size(); ++i) {
            buttons_[i] = QImage(214, 81, QImage::Format_RGB32);
            buttons_[i].fill(QColor::fromHsv(int(i) * 60, 180, 220));
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, backdrop_);
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            painter.drawImage(35 + int(i % 2) * 250, 120 + int(i / 2) * 120, buttons_[i]);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 20, 640, 40), Qt::AlignCenter, QStringLiteral("Brindlemoor"));
        if (!painted_) {
            painted_ = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("painted %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
        }
    }

private:
    QImage backdrop_;
    std::array<QImage, 4> buttons_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FloorWindow window;
    window.show();
    return QApplication::exec();
}
