#include "panel/build_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <utility>

namespace tq::build {

QString indexed(const char* base, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(index);
}

QStringList channelNames(int count) {
    QStringList names;
    for (int n = 1; n <= count; ++n) {
        names << QStringLiteral("CH%1").arg(n);
    }
    return names;
}

void place(QWidget* w, const Box& box) {
    setTwipsGeometry(w, box.left, box.top, box.width, box.height);
}

void fillBackground(QWidget* w, const QColor& color) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, color);
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    w->setPalette(palette);
}

Frame* frame(QWidget* parent, const QString& name, const Box& box, const QColor& back,
             bool border) {
    auto* f = new Frame(parent);
    f->setObjectName(name);
    fillBackground(f, back);
    f->setBorder(border);
    place(f, box);
    return f;
}

Label* label(QWidget* parent, const QString& name, const Box& box, const QString& text,
             const QFont& font, const QColor& color, Qt::Alignment align) {
    auto* l = new Label(parent);
    l->setObjectName(name);
    l->setText(text);
    l->setFont(font);
    l->setAlignment(align);
    setTextColor(l, color);
    place(l, box);
    return l;
}

Label* boxLabel(QWidget* parent, const QString& name, const Box& box, const QString& text,
                const QFont& font) {
    Label* l = label(parent, name, box, text, font, Qt::black, Qt::AlignCenter);
    fillBackground(l, look::kBoxGrey);
    l->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->setLineWidth(1);
    return l;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                   const QFont& font) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setFont(font);
    t->setText(text);
    t->setCursorPosition(0);
    place(t, box);
    return t;
}

QPushButton* command(QWidget* parent, const QString& name, const Box& box, const QString& text,
                     const QFont& font) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setFont(font);
    b->setAutoDefault(false);
    place(b, box);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                    bool checked, const QFont& font) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setFont(font);
    c->setChecked(checked);
    place(c, box);
    return c;
}

namespace {

// A text set by code or picked from the list shows from its start; a narrow
// box would otherwise show its end ("requency" for "Frequency"). What the
// user types keeps the cursor where the typing is.
void showTextsFromTheirStart(QComboBox* box) {
    QLineEdit* editor = box->lineEdit();
    auto typed = std::make_shared<bool>(false);
    QObject::connect(editor, &QLineEdit::textEdited, editor, [typed] { *typed = true; });
    QObject::connect(editor, &QLineEdit::textChanged, editor, [editor, typed] {
        if (std::exchange(*typed, false)) {
            return;
        }
        editor->setCursorPosition(0);
    });
}

}  // namespace

QComboBox* comboBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                    const QStringList& items, const QFont& font) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setFont(font);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    showTextsFromTheirStart(c);
    c->addItems(items);
    c->setCurrentIndex(c->findText(text));
    c->setEditText(text);
    place(c, box);
    return c;
}

Shape* circle(QWidget* parent, const QString& name, const Box& box, const QColor& fill) {
    auto* s = new Shape(Shape::Kind::Circle, parent);
    s->setObjectName(name);
    s->setFillColor(fill);
    s->setBorderColor(Qt::black);
    place(s, box);
    return s;
}

Line* line(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2,
           const QColor& color, bool dashed) {
    auto* l = new Line(parent);
    l->setObjectName(name);
    l->setColor(color);
    l->setDashed(dashed);
    l->setPoints(x1, y1, x2, y2);
    return l;
}

}  // namespace tq::build
