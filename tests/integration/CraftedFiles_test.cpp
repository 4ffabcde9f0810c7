// Files that name other files or addresses inside them, given to the real engine under media names: the
// engine opens only the file it was handed, so none of them reaches the network or another file, none
// hangs or crashes the player, and each ends as a failed file so that a queue goes on.
#include "platform/MpvPlayer.h"
#include "support/TempDir.h"
#include "support/WaitForStart.h"
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A local web server that counts the requests it gets.
class CountingServer {
public:
    CountingServer() {
        server_.setProgram(QStringLiteral("python3"));
        server_.setArguments({QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                              QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("--directory"), dir_.path()});
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start();
        server_.waitForStarted();
        const QRegularExpression portLine(QStringLiteral("port (\\d+)"));
        waitUntil([&] {
            log_ += server_.readAll();
            const auto match = portLine.match(QString::fromUtf8(log_));
            if (match.hasMatch())
                port_ = match.captured(1).toInt();
            return port_ != 0;
        });
    }
    ~CountingServer() {
        server_.kill();
        server_.waitForFinished();
    }
    QString url(const QString& name) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(name);
    }
    int port() const { return port_; }
    // Every request line the server logged so far.
    int requests() {
        log_ += server_.readAll();
        return static_cast<int>(log_.count("\"GET ") + log_.count("\"HEAD ") + log_.count("\"POST "));
    }

private:
    TempDir dir_;
    QProcess server_;
    QByteArray log_;
    int port_ = 0;
};

TEST(CraftedFiles, NoneIsFollowedAndEachFailsSoTheQueueGoesOn) {
    CountingServer server;
    ASSERT_NE(server.port(), 0) << "the local web server did not start";
    TempDir dir;
    const QString pipe = dir.file(QStringLiteral("pipe.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString self = dir.file(QStringLiteral("self.mp3"));
    const QByteArray tone = QFile::encodeName(dir.file(QStringLiteral("tone.wav")));
    QProcess::execute(QStringLiteral("sox"),
                      {QStringLiteral("-n"), QString::fromUtf8(tone), QStringLiteral("synth"),
                       QStringLiteral("0.2"), QStringLiteral("sine"), QStringLiteral("440")});
    const QByteArray web = server.url(QStringLiteral("x")).toUtf8();

    const QList<QPair<QString, QByteArray>> crafted{
        {"edl.mp3", "# mpv EDL v0\n" + web + ".wav\n"},
        {"edl-local.mp3", "# mpv EDL v0\n" + tone + ",0,0.1\n"},
        {"edl-pipe.mp3", "# mpv EDL v0\n" + QFile::encodeName(pipe) + "\n"},
        {"self.mp3", "# mpv EDL v0\n" + QFile::encodeName(self) + "\n"},
        {"list.mp3", "#EXTM3U\n#EXTINF:1,song\n" + web + ".mp3\n"},
        {"plain-list.avi", web + ".avi\n" + tone + "\n"},
        {"hls.mp3", "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + web +
                        "0.ts\n#EXTINF:2.0,\n" + tone + "\n#EXT-X-ENDLIST\n"},
        {"hls-local.mpg", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + tone + "\n#EXT-X-ENDLIST\n"},
        {"dash.mp3", "<?xml version=\"1.0\"?>\n<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" "
                     "type=\"static\" mediaPresentationDuration=\"PT2S\" minBufferTime=\"PT1S\">"
                     "<BaseURL>" +
                         web +
                         "/</BaseURL><Period><AdaptationSet mimeType=\"audio/mp4\">"
                         "<Representation id=\"1\" bandwidth=\"1000\" codecs=\"mp4a.40.2\">"
                         "<BaseURL>a.mp4</BaseURL></Representation></AdaptationSet></Period></MPD>\n"},
        {"pls.wav", "[playlist]\nFile1=" + web + ".wav\nNumberOfEntries=1\n"},
        {"concat.mp3", "ffconcat version 1.0\nfile '" + web + ".wav'\nfile '" + tone + "'\n"},
    };

    MpvPlayer::Options options;
    options.ao = QStringLiteral("null");
    options.vo = QStringLiteral("null");
    options.untimed = true;
    MpvPlayer player(options);
    waitForStart(player);
    ASSERT_TRUE(player.isReady()) << player.lastError().toStdString();
    std::vector<int> reasons;
    QObject::connect(&player, &MediaPlayer::endOfPlayback, [&](int reason) { reasons.push_back(reason); });

    for (const auto& [name, text] : crafted) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.write(name, text);
        reasons.clear();
        player.setMedia(path);
        ASSERT_TRUE(waitUntil([&] { return !reasons.empty(); }, 15000)) << "the queue stalled";
        EXPECT_EQ(reasons, std::vector<int>{MediaPlayer::Failed});
    }
    // The engine still plays what it is given.
    reasons.clear();
    player.setMedia(QString::fromUtf8(tone));
    ASSERT_TRUE(waitUntil([&] { return !reasons.empty(); }));
    EXPECT_EQ(reasons, std::vector<int>{MediaPlayer::Finished});
    EXPECT_EQ(server.requests(), 0);
}

} // namespace
