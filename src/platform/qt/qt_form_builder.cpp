#include "platform/qt/qt_form_builder.h"

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <cmath>

#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

using enum ControlKind;

QString Caption(const ControlDesign& design) {
  return ToQString(Text(design.caption));
}

// Every role a control draws its text with, in the states but greyed.
void SetTextColour(QWidget* widget, QColor colour) {
  QPalette palette = widget->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive})
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      palette.setColor(group, role, colour);
  widget->setPalette(palette);
}

// A control in a blue frame keeps the ordinary colours: a palette with every
// role set does not inherit its parent's.
void KeepOwnColours(QWidget* widget) {
  QPalette palette = QApplication::palette(widget);
  palette.setResolveMask(~QPalette::ResolveMask{0});
  widget->setPalette(palette);
}

QComboBox* MakeList(const ControlDesign& design) {
  auto* list = new QComboBox;
  list->setEditable(design.kind == EditableList);
  list->setInsertPolicy(QComboBox::NoInsert);           // Enter in the text adds no entry
  if (list->isEditable()) list->setCompleter(nullptr);  // what is typed stays as typed
  return list;
}

QWidget* MakeWidget(const ControlDesign& design) {
  switch (design.kind) {
    case PushButton:
      return new QPushButton(Caption(design));
    case Frame:
      return new QGroupBox(Caption(design));
    case Label:
      return new QLabel(Caption(design));
    case TextField:
      return new QLineEdit;
    case PickList:
    case EditableList:
      return MakeList(design);
    case OptionButton: {
      auto* option = new QRadioButton(Caption(design));
      option->setChecked(design.value == 1);
      return option;
    }
    case CheckBox: {
      auto* box = new QCheckBox(Caption(design));
      box->setChecked(design.value == 1);
      return box;
    }
    case Line:
      break;
  }
  return new QWidget;
}

// A line is a one-pixel strip of its colour, under every control.
QWidget* MakeLine(const LineDesign& line, QWidget* parent) {
  auto* strip = new QWidget(parent);
  strip->setObjectName(ToQString(Text(line.name)));
  strip->setGeometry(Pixels(line.x1), Pixels(line.y1), Pixels(line.x2) - Pixels(line.x1) + 1,
                     Pixels(line.y2) - Pixels(line.y1) + 1);
  QPalette palette = strip->palette();
  palette.setColor(QPalette::Window, QColor(line.colour.red, line.colour.green, line.colour.blue));
  strip->setPalette(palette);
  strip->setAutoFillBackground(true);
  strip->lower();
  return strip;
}

void Place(QWidget* widget, const ControlDesign& design) {
  widget->setObjectName(ToQString(Text(design.name)));
  widget->setGeometry(PixelRect(design.left, design.top, design.width, design.height));
  widget->setEnabled(design.enabled);
  widget->setFocusPolicy(design.tabIndex ? Qt::StrongFocus : Qt::NoFocus);
  if (!design.hoverHint.empty()) widget->setToolTip(ToQString(Text(design.hoverHint)));
  if (design.textColour) {
    const QColor colour(design.textColour->red, design.textColour->green, design.textColour->blue);
    SetTextColour(widget, colour);
    if (auto* list = qobject_cast<QComboBox*>(widget))
      SetTextColour(list->view(), colour);  // a window of its own
  } else if (design.container && DesignOf(*design.container).textColour)
    KeepOwnColours(widget);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setAutoFillBackground(true);  // the notice on the lines hides them
    label->adjustSize();
  }
}

}  // namespace

int Pixels(int twips) {
  return static_cast<int>(std::lround(twips / double(kTwipsPerPixelAt96Dpi)));
}

QRect PixelRect(int left, int top, int width, int height) {
  return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

BuiltForm BuildForm() {
  BuiltForm form{std::make_unique<FormWindow>(), {}};
  FormWindow& window = *form.window;
  window.setObjectName(QStringLiteral("frmMain"));
  window.setWindowTitle(ToQString(Text(kFormDesign.caption)));
  window.setFixedSize(Pixels(kFormDesign.clientWidth), Pixels(kFormDesign.clientHeight));

  for (const ControlDesign& design : ControlDesigns()) {
    QWidget* parent = design.container ? form.controls[static_cast<std::size_t>(*design.container)] : &window;
    QWidget* widget = MakeWidget(design);
    widget->setParent(parent);
    Place(widget, design);
    form.controls[static_cast<std::size_t>(design.id)] = widget;
    if (design.role == Role::DefaultButton) static_cast<QPushButton*>(widget)->setDefault(true);
    if (design.role == Role::CancelButton) window.SetCancelButton(static_cast<QPushButton*>(widget));
  }
  for (const LineDesign& line : LineDesigns())
    form.controls[static_cast<std::size_t>(line.id)] = MakeLine(line, &window);

  for (const ControlDesign& design : ControlDesigns())
    if (design.names)
      static_cast<QLabel*>(form.controls[static_cast<std::size_t>(design.id)])
          ->setBuddy(form.controls[static_cast<std::size_t>(*design.names)]);

  const auto order = FocusOrder();
  for (std::size_t i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(form.controls[static_cast<std::size_t>(order[i - 1])],
                         form.controls[static_cast<std::size_t>(order[i])]);
  return form;
}

}  // namespace quernel::qt
