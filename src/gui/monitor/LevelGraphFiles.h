#pragma once
// Where the graph page's level table (CSV) and chart picture (PNG) go: the path given, or
// the one the user picks. The overwrite question comes after the dialog, so an existing
// file stays until it is answered; the picture is written beside its target and renamed.

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

#include "pages/SaveFileDialog.h"

namespace qavix {

class LevelGraphFiles {
  public:
    // What a save asks the user; an empty answer is a cancel. Tests replace the dialog.
    using PathAsker = std::function<QString(const SaveFileRequest&)>;

    explicit LevelGraphFiles(QWidget& owner) : m_owner(owner) {}

    void setAsker(PathAsker asker) { m_ask = std::move(asker); }

    // `given` when set; else the user's choice, empty when the dialog or the overwrite
    // question was cancelled.
    QString csvPath(const QString& given);
    QString imagePath(const QString& given);

    // False when the picture could not be encoded or written.
    static bool writeImage(const QImage& image, const QString& path);

  private:
    QString choose(const QString& given, const SaveFileRequest& request);
    bool confirmOverwrite(const QString& path);

    QWidget& m_owner;
    PathAsker m_ask;
};

}  // namespace qavix
