// The help viewer: one browser window that shows the topics of a help file.
// Links between topics of the same file stay in the viewer.

#include "platform/win_help.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include <cctype>
#include <map>
#include <string>

#include "platform/qt_app.h"
#include "platform/win_window.h"

// ---- globals --------------------------------------------------------------

namespace {

// The viewer and what it shows.
QPointer<QTextBrowser> s_Viewer;
std::string s_Topic;
std::string s_File;

// ---- functions ------------------------------------------------------------

// The topics of a help file by name; empty when the file cannot be read or is
// not a help file. A file larger than any help file is not read at all.
std::map<std::string, std::string> ReadTopics(const std::string& path) {
  std::map<std::string, std::string> topics;
  QFile file(QString::fromLocal8Bit(path.c_str()));
  if (!file.open(QIODevice::ReadOnly) || file.size() > (4 << 20)) return topics;
  const QByteArray all = file.readAll();
  const QList<QByteArray> lines = all.split('\n');
  if (lines.isEmpty() || lines[0].trimmed() != "QN3D-HELP 1") return topics;
  std::string* current = nullptr;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    if (line.startsWith("== ")) {
      current = &topics[line.mid(3).trimmed().toLower().toStdString()];
      continue;
    }
    if (current != nullptr) {
      current->append(line.constData(), (size_t)line.size());
      current->push_back('\n');
    }
  }
  return topics;
}

// Shows the topic of the file in the viewer; false when there is no such.
bool ShowTopic(const std::string& file, std::string topic) {
  std::map<std::string, std::string> topics = ReadTopics(file);
  if (topics.empty()) return false;
  for (char& c : topic) c = (char)std::tolower((unsigned char)c);
  auto it = topic.empty() ? topics.begin() : topics.find(topic);
  if (it == topics.end()) return false;
  platform::EnsureApplication();
  if (s_Viewer == nullptr) {
    s_Viewer = new QTextBrowser();
    s_Viewer->setAttribute(Qt::WA_QuitOnClose, false);
    s_Viewer->setOpenLinks(false);
    s_Viewer->resize(560, 480);
    QObject::connect(s_Viewer, &QTextBrowser::anchorClicked, s_Viewer, [](const QUrl& url) {
      // Another topic of the same file; anything else is not ours to open.
      if (url.isRelative() && !url.path().isEmpty()) ShowTopic(s_File, url.path().toStdString());
    });
  }
  s_File = file;
  s_Topic = it->first;
  s_Viewer->setHtml(QString::fromUtf8(it->second.c_str()));
  s_Viewer->setWindowTitle(s_Viewer->documentTitle().isEmpty() ? QStringLiteral("Quandrel 3D Help")
                                                               : s_Viewer->documentTitle());
  s_Viewer->show();
  s_Viewer->raise();
  s_Viewer->activateWindow();
  return true;
}

}  // namespace

// ---- functions: help ------------------------------------------------------------

// "file::/topic.htm": the file before the last "::", the topic after it (a
// directory may have "::" in its name; a topic never has).
HWND HtmlHelpA(HWND, LPCSTR pszFile, UINT uCommand, DWORD_PTR) {
  if (pszFile == nullptr || uCommand != HH_DISPLAY_TOPIC) return nullptr;
  std::string name = pszFile;
  std::string file = name, topic;
  size_t sep = name.rfind("::");
  if (sep != std::string::npos) {
    file = name.substr(0, sep);
    topic = name.substr(sep + 2);
    while (!topic.empty() && (topic[0] == '/' || topic[0] == '\\')) topic.erase(0, 1);
  }
  if (!ShowTopic(file, topic)) return nullptr;
  return platform::HandleOf(s_Viewer.data());
}

// ---- test hooks -------------------------------------------------------------------

namespace platform_test {

std::string HelpViewerTopic() { return s_Viewer != nullptr ? s_Topic : std::string(); }

bool IsHelpViewerVisible() { return s_Viewer != nullptr && s_Viewer->isVisible(); }

// The text the viewer shows, or empty.
std::string HelpViewerText() {
  return s_Viewer != nullptr ? s_Viewer->toPlainText().toStdString() : std::string();
}

// Closes the viewer and forgets its topic.
void CloseHelpViewer() {
  delete s_Viewer.data();
  s_Topic.clear();
  s_File.clear();
}

}  // namespace platform_test
