// callback_sender SOCKET URL: hands URL to the program listening on SOCKET, as the
// program's own second instance does, and exits with 0 when it was handed over.

#include "spotify/CallbackHandoff.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    return velloran::sendCallback(QUrl::fromEncoded(argv[2]), QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
