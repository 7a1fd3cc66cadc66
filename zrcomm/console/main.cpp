// zrcomm-console: a small window that talks to a driver through the communication library's
// exported functions. Without options it opens empty; with --port it opens that port at once;
// with --send it sends one command once the driver is connected and prints the reply to standard
// output (with --quit-after it shows no window and then exits: 0 for a reply without error, 2 for
// an error reply or a failed command, 3 when nothing came in time or the line failed for good, 1
// when the port cannot be opened).
#include "console_window.h"

#include <platform/qt/dialog_services.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zrcomm-console"));
    plat::qt::InstallDialogServices();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Talks to a motor driver through the communication library."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Open this port at once (COMn or a device path)."),
                                        QStringLiteral("name"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Line speed (default 9600)."),
                                        QStringLiteral("rate"));
    const QCommandLineOption sendOption(QStringLiteral("send"),
                                        QStringLiteral("Send this command once connected and print the reply."),
                                        QStringLiteral("command"));
    const QCommandLineOption quitOption(QStringLiteral("quit-after"),
                                        QStringLiteral("Exit after the reply to --send."));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"), QStringLiteral("With --quit-after: give up after this many ms (default 15000)."),
        QStringLiteral("ms"), QStringLiteral("15000"));
    parser.addOptions({portOption, baudOption, sendOption, quitOption, timeoutOption});
    parser.process(app);

    zrconsole::ConsoleWindow window;
    const QString command = parser.value(sendOption);
    const bool quitAfter = parser.isSet(quitOption);
    if (parser.isSet(baudOption)) {
        bool ok = false;
        const uint baud = parser.value(baudOption).toUInt(&ok);
        if (!ok || (baud != 9600 && baud != 19200 && baud != 38400 && baud != 57600)) {
            std::fprintf(stderr, "zrcomm-console: --baud takes 9600, 19200, 38400 or 57600\n");
            return 1;
        }
        window.setBaudRate(baud);
    }

    CommandId sent = 0;
    window.onConnected = [&](const QString& identification) {
        std::printf("connected: %s\n",
                    qPrintable(QString(identification).replace(QLatin1Char('\n'), QStringLiteral(" / "))));
        std::fflush(stdout);
        if (!command.isEmpty() && !sent)
            sent = window.sendCommand(command);
    };
    window.onCommandEnded = [&](CommandId id, CommandStatus status, const QString& reply) {
        if (id != sent)
            return;
        std::printf("reply (%s):\n%s\n", qPrintable(zrconsole::ResultName(status)), qPrintable(reply.trimmed()));
        std::fflush(stdout);
        if (quitAfter) {
            window.closePort();
            QCoreApplication::exit(status == COMM_OK ? 0 : 2);
        }
    };

    window.onLineFailed = [&](const QString& why) {
        std::fprintf(stderr, "zrcomm-console: %s\n", qPrintable(why));
        if (quitAfter)
            QCoreApplication::exit(3);
    };

    if (!quitAfter)
        window.show();
    if (parser.isSet(portOption)) {
        window.setPortName(parser.value(portOption));
        if (!window.openPort()) {
            std::fprintf(stderr, "zrcomm-console: %s\n", qPrintable(window.statusText()));
            if (quitAfter)
                return 1;
        }
    }
    if (quitAfter) {
        QTimer::singleShot(parser.value(timeoutOption).toInt(), &app, [&] {
            std::fprintf(stderr, "zrcomm-console: no reply in time (%s)\n", qPrintable(window.statusText()));
            window.closePort();
            QCoreApplication::exit(3);
        });
    }
    return app.exec();
}
