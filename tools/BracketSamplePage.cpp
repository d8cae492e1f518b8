// Writes the pictures of the bracket in docs/: a draw of 9 with the first round marked, as the
// PDF that "Save as PDF" writes (rasterised afterwards by scripts/bracket-pictures.sh) and as the
// projector view shows it on a 1280 x 720 projector.
//
//   bracket_sample_page <out.pdf> <projector.png> [<picture.png> <field size>]
#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "tests/board/BracketTestSupport.h"
#include "uikit/Application.h"
#include "uikit/WholeFile.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s <out.pdf> <projector.png> [<picture.png> <field size>]\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    velka::BracketBoard board;
    board.Load();
    if (argc == 5)
        velka::test::drawAndMark(board, {std::stoi(argv[4]), {}}); // throws on a bad size
    else
        velka::test::drawAndMark(board, {9, {1, 2, 5, 6, 16, 18}});

    const QDateTime printed(QDate(2026, 12, 7), QTime(15, 30));
    const std::optional<QByteArray> pdf = velka::bracketPdf(board, printed);
    if (!pdf)
        return 1;
    if (const auto why = velka::writeWholeFile(QString::fromLocal8Bit(argv[1]), *pdf)) {
        std::fprintf(stderr, "%s\n", qPrintable(*why));
        return 1;
    }
    velka::BracketProjectorView view(board);
    view.setGeometry(0, 0, 1280, 720);
    view.show();
    if (!view.grab().save(QString::fromLocal8Bit(argv[2])))
        return 1;
    return argc == 3 || velka::bracketPicture(board).save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
