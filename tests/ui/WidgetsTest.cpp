#include "ui/Suites.h"

#include "widgets/ColourGrid.h"
#include "widgets/GlyphGrid.h"
#include "widgets/PictureGrid.h"
#include "widgets/TCSpinEdit.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

namespace {

// The font palette's shape: a title column 32 pixels wide, sixteen colour columns of 18, two rows of 18.
widgets::ColourGrid::Shape PaletteShape() {
    widgets::ColourGrid::Shape s;
    s.columns = 17;
    s.rows = 2;
    s.cellWidth = 18;
    s.cellHeight = 18;
    s.columnWidths = {32};
    s.titleRow = true;
    s.titleColumn = true;
    return s;
}

// A pointer position of a grid as a point of the widget (inside its frame).
QPoint InFrame(int x, int y) {
    return QPoint(x + widgets::ColourGrid::kBorder, y + widgets::ColourGrid::kBorder);
}

} // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    // The change event comes with every change of the value: each typed digit and each arrow step.
    void spinEditReportsEveryChange() {
        widgets::TCSpinEdit spin;
        spin.setRange(-32, 32);
        spin.setValue(0);
        spin.show();
        QSignalSpy changes(&spin, &QSpinBox::valueChanged);
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("12"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(0).at(0).toInt(), 1);
        QCOMPARE(changes.at(1).at(0).toInt(), 12);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(changes.count(), 3);
        QCOMPARE(spin.value(), 13);

        // With typing refused, only the arrows change it.
        spin.SetTypingAllowed(false);
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("5"));
        QCOMPARE(spin.value(), 13);
        QTest::keyClick(&spin, Qt::Key_Down);
        QCOMPARE(spin.value(), 12);
        QCOMPARE(changes.count(), 4);
    }

    // The default grid keeps its size and cells; a shaped one lays out its own column widths, its grid
    // lines belong to the cell on their left, and title cells are never current.
    void colourGridShapes() {
        widgets::ColourGrid plain;
        QCOMPARE(plain.size(), QSize(211, 211));
        QCOMPARE(plain.CellAt(12, 12), std::make_optional(std::make_pair(0, 0)));
        QCOMPARE(plain.CellAt(13, 207), std::make_optional(std::make_pair(1, 15)));
        QVERIFY(!plain.CellAt(208, 0));
        // The palette views' entries under the pointer: 12-pixel cells and their grid lines, 16 a row.
        struct EntryCase {
            int x, y, entry;
        };
        const EntryCase inside[] = {{0, 0, 0},  {12, 0, 0},  {13, 0, 1},   {25, 0, 1},      {26, 0, 2},
                                    {0, 12, 0}, {0, 13, 16}, {30, 14, 18}, {207, 207, 255}, {207, 0, 15}};
        for (const EntryCase& c : inside)
            QCOMPARE(plain.EntryAt(c.x, c.y), std::make_optional(c.entry));
        for (const auto& [x, y] : {std::pair{208, 0}, {210, 5}, {0, 208}, {210, 210}, {-1, 0}, {0, -1}})
            QVERIFY(!plain.EntryAt(x, y));

        widgets::ColourGrid grid(PaletteShape());
        // 33 + 16 * 19 = 337 across and 2 * 19 = 38 down, inside the frame and the spare pixel.
        QCOMPARE(grid.size(), QSize(340, 41));
        struct Case {
            int x, y, column, row;
        };
        const Case cases[] = {{0, 0, 0, 0},  {32, 18, 0, 0}, {33, 19, 1, 1},
                              {51, 5, 1, 0}, {52, 5, 2, 0},  {336, 37, 16, 1}};
        for (const Case& c : cases)
            QCOMPARE(grid.CellAt(c.x, c.y), std::make_optional(std::make_pair(c.column, c.row)));
        QVERIFY(!grid.CellAt(337, 0));
        QVERIFY(!grid.CellAt(0, 38));
        QCOMPARE(grid.CellRect(2, 1), QRect(52, 19, 18, 18));

        QCOMPARE(grid.CurrentColumn(), 1);
        QCOMPARE(grid.CurrentRow(), 1);
        grid.SetTitle(0, 0, QStringLiteral("Index"));
        grid.SetTitle(3, 1, QStringLiteral("not a title"));
        QCOMPARE(grid.Title(0, 0), QStringLiteral("Index"));
        QCOMPARE(grid.Title(3, 1), QString());

        grid.show();
        QSignalSpy presses(&grid, &widgets::ColourGrid::pressed);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, InFrame(60, 25));
        QCOMPARE(grid.CurrentColumn(), 2);
        // A press on a title reaches the handler but leaves the current cell.
        QTest::mouseClick(&grid, Qt::LeftButton, {}, InFrame(100, 5));
        QTest::mouseClick(&grid, Qt::LeftButton, {}, InFrame(5, 25));
        QCOMPARE(grid.CurrentColumn(), 2);
        QCOMPARE(grid.CurrentRow(), 1);
        // A right press never moves it.
        QTest::mouseClick(&grid, Qt::RightButton, {}, InFrame(300, 25));
        QCOMPARE(grid.CurrentColumn(), 2);
        QCOMPARE(presses.count(), 4);
        QCOMPARE(presses.at(3).at(2).value<Qt::MouseButton>(), Qt::RightButton);
    }

    // Double clicks and the keyboard reach the same signals as the mouse, at the current cell.
    void colourGridDoubleClickAndKeys() {
        widgets::ColourGrid grid(PaletteShape());
        grid.show();
        QSignalSpy presses(&grid, &widgets::ColourGrid::pressed);
        QSignalSpy doubles(&grid, &widgets::ColourGrid::doubleClicked);
        QTest::mouseDClick(&grid, Qt::LeftButton, {}, InFrame(80, 25));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(doubles.at(0).at(0).toInt(), 80);
        QVERIFY(presses.count() >= 1);
        QCOMPARE(grid.CurrentColumn(), 3);

        presses.clear();
        doubles.clear();
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Up); // the title row is refused
        QCOMPARE(grid.CurrentColumn(), 4);
        QCOMPARE(grid.CurrentRow(), 1);
        QTest::keyClick(&grid, Qt::Key_Space);
        QTest::keyClick(&grid, Qt::Key_Space, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(presses.count(), 2);
        const QRect cell = grid.CellRect(4, 1);
        QCOMPARE(grid.CellAt(presses.at(0).at(0).toInt(), presses.at(0).at(1).toInt()),
                 std::make_optional(std::make_pair(4, 1)));
        QVERIFY(cell.contains(presses.at(1).at(0).toInt(), presses.at(1).at(1).toInt()));
        QCOMPARE(presses.at(0).at(2).value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(presses.at(1).at(2).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(doubles.count(), 1);
    }

    // The glyph grid: each cell has its line to the right and below; the mouse reports what the painting
    // needs (button, Alt, the left button held while moving), and Space paints the cursor cell.
    void glyphGridReportsPaintGestures() {
        widgets::GlyphGrid grid;
        grid.SetShape(52, 16, 4, 10);
        QCOMPARE(grid.size(), QSize(52 * 5, 16 * 11));
        grid.SetCellColour(
            [](int column, int row) { return (column + row) % 2 ? QColor(Qt::black) : QColor(Qt::white); });
        grid.show();
        QSignalSpy presses(&grid, &widgets::GlyphGrid::pressed);
        QSignalSpy moves(&grid, &widgets::GlyphGrid::moved);
        QSignalSpy releases(&grid, &widgets::GlyphGrid::released);

        QTest::mousePress(&grid, Qt::RightButton, Qt::AltModifier, QPoint(9, 11));
        QCOMPARE(presses.count(), 1);
        QCOMPARE(presses.at(0).at(0).toInt(), 9);
        QCOMPARE(presses.at(0).at(1).toInt(), 11);
        QCOMPARE(presses.at(0).at(2).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(presses.at(0).at(3).toBool(), true);
        QCOMPARE(grid.CursorColumn(), 1); // 9 div 5
        QCOMPARE(grid.CursorRow(), 1);    // 11 div 11
        QTest::mouseRelease(&grid, Qt::RightButton, Qt::AltModifier, QPoint(9, 11));
        QCOMPARE(releases.count(), 1);

        // The pixels show the colours, one cell of 4 x 10 with its lines.
        const QImage shot = grid.grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(3, 9)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(5, 0)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(4, 0)), QColor(0xA0, 0xA0, 0xA0));
        QCOMPARE(QColor(shot.pixel(0, 10)), QColor(0xA0, 0xA0, 0xA0));

        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.CursorColumn(), 2);
        QCOMPARE(grid.CursorRow(), 2);
        QTest::keyClick(&grid, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(presses.count(), 2);
        QCOMPARE(presses.at(1).at(0).toInt() / 5, 2);
        QCOMPARE(presses.at(1).at(1).toInt() / 11, 2);
        QCOMPARE(presses.at(1).at(3).toBool(), true);
        QCOMPARE(releases.count(), 2);
        QVERIFY(grid.accessibleDescription().startsWith(QStringLiteral("Column 2, row 2")));
        QCOMPARE(moves.count(), 0);

        // The cursor stays inside a smaller shape.
        grid.SetShape(2, 2, 10, 10);
        QCOMPARE(grid.CursorColumn(), 1);
        QCOMPARE(grid.CursorRow(), 1);
    }

    // The picture grid: cells of the given inside sizes, pictures from the cell's corner cut by the cell,
    // presses reported in grid rows (the titles being row 0).
    void pictureGridCellsAndPresses() {
        widgets::PictureGrid grid({{34, 64, 37, 82}, 32, 64, {"No.", "Font", "Bpp", "Description"}, true, 1});
        grid.resize(grid.width(), 300);
        grid.show();
        QCOMPARE(grid.CurrentGridRow(), 0);
        grid.SetDataRows(2);
        QCOMPARE(grid.CurrentGridRow(), 1);
        QImage tall(64, 80, QImage::Format_RGB32);
        tall.fill(QColor(Qt::red));
        QImage small(16, 16, QImage::Format_RGB32);
        small.fill(QColor(Qt::blue));
        grid.SetRow(1, {"1", "tall", "1", "64x80"}, tall);
        grid.SetRow(2, {"2", "small", "4", "16x16 2 4 0"}, small);
        QCOMPARE(grid.Text(3, 2), QStringLiteral("16x16 2 4 0"));
        QCOMPARE(grid.Text(1, 1), QStringLiteral("tall"));

        // The cells' insides have the sizes asked for; the grid lines come on top.
        QCOMPARE(grid.CellRect(1, 1).size(), QSize(64, 64));
        QCOMPARE(grid.CellRect(0, 1).width(), 34);
        QCOMPARE(grid.CellRect(3, 2).width(), 82);
        QCOMPARE(grid.CellRect(1, 2).top() - grid.CellRect(1, 1).top(), 65);
        QCOMPARE(grid.horizontalHeader()->height(), 33);

        const QImage shot = grid.viewport()->grab().toImage();
        const QRect first = grid.CellRect(1, 1);
        const QRect second = grid.CellRect(1, 2);
        QCOMPARE(QColor(shot.pixel(first.topLeft())), QColor(Qt::red));
        QCOMPARE(QColor(shot.pixel(first.left() + 63, first.top() + 63)), QColor(Qt::red));
        // The tall picture is cut: the next row starts with its own picture.
        QCOMPARE(QColor(shot.pixel(second.topLeft())), QColor(Qt::blue));
        QCOMPARE(QColor(shot.pixel(second.left() + 15, second.top() + 15)), QColor(Qt::blue));
        QCOMPARE(QColor(shot.pixel(second.left() + 16, second.top() + 16)), QColor(Qt::white));

        QSignalSpy presses(&grid, &widgets::PictureGrid::pressedAt);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(1, 2).center());
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(3, 1).center());
        QCOMPARE(presses.count(), 2);
        QCOMPARE(presses.at(0).at(0).toInt(), 1);
        QCOMPARE(presses.at(0).at(1).toInt(), 2);
        QCOMPARE(presses.at(1).at(0).toInt(), 3);
        QCOMPARE(presses.at(1).at(1).toInt(), 1);
        QCOMPARE(grid.CurrentGridRow(), 1);
        QCOMPARE(grid.CurrentGridColumn(), 3);

        // The keyboard presses the current cell.
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Left);
        QTest::keyClick(&grid, Qt::Key_Left);
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(presses.count(), 3);
        QCOMPARE(presses.at(2).at(0).toInt(), 1);
        QCOMPARE(presses.at(2).at(1).toInt(), 2);

        grid.SetDataRows(0);
        QCOMPARE(grid.CurrentGridRow(), 0);
    }
};

TAVIX_UI_SUITE(WidgetsTest)

#include "WidgetsTest.moc"
