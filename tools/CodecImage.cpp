// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files of the codec tool, on QImage. Files are opened by their byte names
// and handed to Qt as open descriptors, so names that are not UTF-8 still work.
#include "tools/CodecImage.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/qt/PictureFrame.h"
#include "rx/PictureAssembler.h"
#include "tools/CodecFailure.h"
#include "tx/FrameModulator.h"
#include "video/FrameGrabber.h"

namespace q60 {

namespace {

// Qt and libpng write some reasons for a failure to stderr themselves. While a file is
// read or written, that text is caught to go into the tool's one failure line.
class StderrCapture {
public:
    StderrCapture() : saved_(::dup(STDERR_FILENO)), caught_(std::tmpfile())
    {
        if (saved_ >= 0 && caught_ != nullptr)
            ::dup2(::fileno(caught_), STDERR_FILENO);
    }
    ~StderrCapture()
    {
        restore();
        if (caught_ != nullptr)
            std::fclose(caught_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture; returns the reason Qt gave, with what was caught, as one line.
    std::string reason(const QString& error)
    {
        restore();
        std::array<char, 512> text{};
        if (caught_ != nullptr) {
            std::rewind(caught_);
            text[std::fread(text.data(), 1, text.size() - 1, caught_)] = '\0';
        }
        const QString detail = QString::fromLocal8Bit(text.data()).simplified();
        return (detail.isEmpty() ? error : error + " (" + detail + ")").toStdString();
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    int saved_;
    std::FILE* caught_;
};

bool openDescriptor(QFile& file, const std::string& path, int flags, QIODevice::OpenMode mode)
{
    const std::string failure = (mode & QIODevice::WriteOnly) ? "cannot write: " : "cannot read picture: ";
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0)
        return reportFailure(path, failure + std::strerror(errno));
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return reportFailure(path, failure + file.errorString().toStdString());
}

std::optional<QImage> readPicture(const std::string& path)
{
    QFile file;
    if (!openDescriptor(file, path, O_RDONLY, QIODevice::ReadOnly))
        return std::nullopt;
    if (pngChunkOverruns(file)) {
        reportFailure(path, std::string("cannot read picture: ") + pngChunkOverrunReason);
        return std::nullopt;
    }
    StderrCapture caught;
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull()) {
        const std::string reason = caught.reason(reader.errorString());
        reportFailure(path, "cannot read picture: " + reason);
        return std::nullopt;
    }
    return image;
}

bool writePng(const std::string& path, const QImage& image)
{
    QFile file;
    if (!openDescriptor(file, path, O_WRONLY | O_CREAT | O_TRUNC, QIODevice::WriteOnly))
        return false;
    StderrCapture caught;
    QImageWriter writer(&file, "png");
    if (writer.write(image) && file.flush())
        return true;
    const QString error = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    const std::string reason = caught.reason(error);
    file.close();
    discardPartialOutput(path);
    return reportFailure(path, "cannot write: " + reason);
}

}  // namespace

bool loadTxPicture(const std::string& path)
{
    const std::optional<QImage> image = readPicture(path);
    if (!image)
        return false;
    if (isTxFramePicture(*image)) {
        std::array<uint8_t, txFrameBytes> frame{};
        txFrameOfPicture(*image, frame.data());
        setTxFrame(frame.data(), frame.size());
    } else {
        std::array<uint8_t, cameraFrameBytes> frame{};
        cameraFrameOfPicture(*image, frame.data());
        reduceFrame(frame.data());
    }
    return true;
}

bool saveRxPicture(const std::string& path, bool tall, GreyPainter paint)
{
    const int repeat = tall ? 2 : 1;
    QImage image(rxPictureWidth, rxPictureRows * repeat, QImage::Format_Grayscale8);
    std::array<uint8_t, rxPictureWidth * paintedPictureHeight> grey{};
    paint(grey.data(), repeat);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), grey.data() + rxPictureWidth * y, rxPictureWidth);
    return writePng(path, image);
}

}  // namespace q60
