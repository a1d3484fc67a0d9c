#include "forms/main/frmInfo.h"

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "forms/common/DialogKeys.h"
#include "forms/common/FixedDialog.h"
#include "forms/common/Fonts.h"
#include "forms/common/OperatorMessage.h"
#include "forms/common/Twips.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using Twips::place;

constexpr int InfoClientWidth = 6675;
constexpr int InfoClientHeight = 6150;
constexpr int TextBoxWidth = 735;
constexpr int TextBoxHeight = 285;

QGroupBox *frame(QWidget *container, const char *name, const QString &title, int left, int top,
                 int width, int height)
{
    auto *box = place(new QGroupBox(title, container), name, left, top, width, height);
    // Named outright: a frame inside a frame would otherwise be announced by the outer caption.
    box->setAccessibleName(title);
    return box;
}

QLabel *placedLabel(QWidget *container, const char *name, const QString &caption, int left, int top,
                    int width)
{
    auto *label = place(new QLabel(caption, container), name, left, top, width, 255);
    // A caption wider than its box in the fonts at hand grows to the right rather than being cut.
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    return label;
}

// A text box is announced by screen readers with the caption of the label beside it.
QLineEdit *textBox(QWidget *container, const char *name, QLabel *caption, int left, int top)
{
    auto *box = place(new QLineEdit(container), name, left, top, TextBoxWidth, TextBoxHeight);
    caption->setBuddy(box);
    box->setAccessibleName(caption->text().trimmed());
    box->setProperty("caption", caption->text());
    return box;
}

QPushButton *commandButton(QWidget *container, const char *name, const char *caption, int left,
                           int top)
{
    auto *button =
        place(new QPushButton(QString::fromLatin1(caption), container), name, left, top, 1455, 735);
    button->setFont(Fonts::msSansSerif(9.75, true));
    // Neither button is the window's default: Enter must not calculate or close by surprise.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// The caption as a message names the field: "Alcohol Proof: " becomes "Alcohol Proof".
QString fieldName(const QLineEdit *field)
{
    QString name = field->property("caption").toString().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

// A number longer than its box, such as a height converted to centimetres ("177.8004"), shows
// its first digits: cut at the end it is nearly right, cut at the start it would be far off.
void showNumber(QLineEdit *field, float value)
{
    field->setText(SingleToText(value));
    field->setCursorPosition(0);
}

} // namespace

frmInfo::frmInfo(DosingState &state, RunValues &run, ValueUnits units, QWidget *owner)
    : QDialog(owner, FixedDialogFlags), m_state(state), m_run(run), m_units(units)
{
    setUpFixedDialog(this, "frmInfo", QStringLiteral("User Input & Output"), InfoClientWidth,
                     InfoClientHeight);
    createControls();
    setTabOrder();
}

QString frmInfo::caption(DoseValue value) const
{
    return tableText(infoOf(value).caption[m_units.body], m_units.level);
}

void frmInfo::createControls()
{
    auto *Frame1 =
        frame(this, "Frame1", QStringLiteral("Participant Characteristics"), 120, 120, 4455, 1815);
    auto *Frame2 = frame(Frame1, "Frame2", caption(DoseValue::Gender), 120, 360, 1455, 1215);
    optMale =
        place(new QRadioButton(QStringLiteral("Male"), Frame2), "optMale", 120, 240, 1215, 495);
    optFemale =
        place(new QRadioButton(QStringLiteral("Female"), Frame2), "optFemale", 120, 600, 1215, 495);
    // The hidden choice stands for "no gender chosen"; selecting it clears Male and Female.
    optNG =
        place(new QRadioButton(QStringLiteral("NoGender"), Frame2), "optNG", 1080, 600, 1215, 495);
    optNG->hide();
    optNG->setChecked(true);
    auto *gender = new QButtonGroup(this);
    gender->setExclusive(true);
    for (QRadioButton *choice : {optMale, optFemale, optNG})
        gender->addButton(choice);

    auto *lblHeight = placedLabel(Frame1, "lblHeight", caption(DoseValue::Height), 1800, 480, 1215);
    txtHeight = textBox(Frame1, "txtHeight", lblHeight, 3120, 480);
    auto *lblweight = placedLabel(Frame1, "lblweight", caption(DoseValue::Weight), 1800, 840, 1215);
    auto *lblAge = placedLabel(Frame1, "lblAge", caption(DoseValue::Age), 1800, 1200, 1215);

    auto *Frame3 =
        frame(this, "Frame3", QStringLiteral("Other Information"), 120, 2160, 4455, 1935);
    auto *Label5 = placedLabel(Frame3, "Label5", caption(DoseValue::BAL), 360, 360, 1935);
    txtBAL = textBox(Frame3, "txtBAL", Label5, 3120, 360);
    auto *Label1 = placedLabel(Frame3, "Label1", caption(DoseValue::DD), 360, 720, 2775);
    auto *Label3 = placedLabel(Frame3, "Label3", caption(DoseValue::Proof), 360, 1080, 2775);
    txtProof = textBox(Frame3, "txtProof", Label3, 3120, 1080);
    auto *Label2 = placedLabel(Frame3, "Label2", caption(DoseValue::Ratio), 360, 1440, 2655);
    txtRatio = textBox(Frame3, "txtRatio", Label2, 3120, 1440);

    auto *Frame4 = frame(this, "Frame4", QStringLiteral("Dosing Results"), 120, 4320, 4455, 1455);
    const char *resultCaptions[] = {
        "Volume alcohol Dose (mls):", "Volume mixer (mls):", "Total beverage volume (mls):"};
    const int resultWidths[] = {2055, 1575, 2055};
    QLineEdit **resultFields[] = {&txtAlcDose, &txtMixDose, &txtTotDose};
    const char *resultNames[] = {"txtAlcDose", "txtMixDose", "txtTotDose"};
    for (int index = 0; index < 3; ++index) {
        const int top = 360 + 360 * index;
        auto *result = placedLabel(Frame4, "Label4", QLatin1String(resultCaptions[index]), 360, top,
                                   resultWidths[index]);
        result->setProperty("index", index); // the three labels form one control array
        *resultFields[index] = textBox(Frame4, resultNames[index], result, 3120, top);
    }

    // These three belong to the window itself and are drawn over the frames, in line with the
    // fields inside them; created after the frames so they stay on top.
    txtWeight = textBox(this, "txtWeight", lblweight, 3240, 960);
    txtAge = textBox(this, "txtAge", lblAge, 3240, 1320);
    txtDD = textBox(this, "txtDD", Label1, 3240, 2880);

    cmdCalcNow = commandButton(this, "cmdCalcNow", "Calculate NOW", 4920, 1800);
    Command1 = commandButton(this, "Command1", "Finished", 4920, 2880);
    connect(cmdCalcNow, &QPushButton::clicked, this, &frmInfo::cmdCalcNow_Click);
    connect(Command1, &QPushButton::clicked, this, &frmInfo::Command1_Click);
}

void frmInfo::setTabOrder()
{
    const QWidget *order[] = {optMale,    optFemale, txtWeight,  txtAge,     txtDD,
                              txtRatio,   txtProof,  txtAlcDose, txtMixDose, txtTotDose,
                              cmdCalcNow, txtBAL,    txtHeight,  Command1,   optNG};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget *>(order[i - 1]), const_cast<QWidget *>(order[i]));
}

void frmInfo::Form_Load()
{
    const DosingState &s = m_state;
    showNumber(txtWeight, usesMetricUnits() ? m_run.bodyInCm.weightKg : s.Weight);
    showNumber(txtHeight, usesMetricUnits() ? m_run.bodyInCm.heightCm : s.Height);
    showNumber(txtAge, s.Age);
    optNG->setChecked(true);
    // The target as typed in this unit while it still stands for the BAL, else the BAL shown in
    // this unit. In g/100 ml it is the BAL.
    const LevelScale &level = m_units.level;
    const std::optional<float> typed = typedLevelFor(m_run.typedTarget, s.BAL, level);
    showNumber(txtBAL, typed.value_or(level.shownLevel(s.BAL)));
    m_shownTarget = typed || level.isDefault() ? QString() : txtBAL->text();
    showNumber(txtDD, s.DD);
    showNumber(txtProof, s.Proof);
    showNumber(txtRatio, s.Ratio);
}

// Each field is stored as soon as it is read: a field that cannot be read stops the press with
// the fields before it stored and it and the later ones unchanged.
bool frmInfo::readField(QLineEdit *field, float &target)
{
    const SingleFromText number = TextToSingle(field->text());
    if (!number.ok()) {
        OperatorMessage::show(this, fieldProblemMessage(inputProblemOf(number, field->text()),
                                                        fieldName(field), field->text()));
        field->setFocus();
        field->selectAll();
        return false;
    }
    target = number.value;
    return true;
}

// Each is kept in both kinds of units as soon as it is read, so that the fields show it in
// whichever units come next.
bool frmInfo::readHeightAndWeight()
{
    float typed = 0;
    if (!readField(txtHeight, typed))
        return false;
    const InBothUnits height = heightInBothUnits(typed, m_units.body);
    m_state.Height = height.inchesPounds;
    m_run.bodyInCm.heightCm = height.metric;
    if (!readField(txtWeight, typed))
        return false;
    const InBothUnits weight = weightInBothUnits(typed, m_units.body);
    m_state.Weight = weight.inchesPounds;
    m_run.bodyInCm.weightKg = weight.metric;
    return true;
}

bool frmInfo::readTarget(std::optional<float> &typed)
{
    if (!m_shownTarget.isEmpty() && txtBAL->text() == m_shownTarget)
        return true;
    float level = 0;
    if (!readField(txtBAL, level))
        return false;
    typed = level;
    m_run.typedTarget = TypedLevel{level, m_units.level};
    m_state.BAL = m_units.level.toBal(level); // stored as soon as it is read, as every field
    return true;
}

void frmInfo::cmdCalcNow_Click()
{
    DosingState &s = m_state;
    if (!readHeightAndWeight() || !readField(txtAge, s.Age))
        return;
    if (optNG->isChecked()) {
        OperatorMessage::show(this, genderMissingMessage());
        return;
    }
    s.Gender = optMale->isChecked() ? Gender::Male : Gender::Female;
    std::optional<float> typedTarget;
    if (!readTarget(typedTarget) || !readField(txtDD, s.DD) || !readField(txtProof, s.Proof) ||
        !readField(txtRatio, s.Ratio))
        return;

    const DoseInput input{s, m_units.body, m_run.bodyInCm, m_units.level, typedTarget};
    const DoseReport report = evaluateDose(input, {std::nullopt, m_run.protocol});
    s = report.dose.state; // on a fault, with what the calculation stored before it
    if (!report.ok()) {
        OperatorMessage::show(this, doseFaultText(report.outcome).message);
        return;
    }
    m_run.lastDose = input;
    m_run.lastDose->state = s; // with its results
    showResults();
    QStringList toCheck;
    for (const PlausibilityNotice &notice : report.notices)
        toCheck << PlausibilityNoticeText(notice);
    for (const LimitBreach &breach : report.breaches)
        toCheck << limitBreachText(breach, *m_run.protocol);
    emit doseCalculated(toCheck);
    // The results are on the screen first; the operator, who is looking at this window and not
    // at the main window's status bar, cannot miss what to check before serving.
    if (!toCheck.isEmpty())
        OperatorMessage::show(this, checkBeforeServingMessage(toCheck));
}

void frmInfo::showResults()
{
    const DosingState &s = m_state;
    txtAlcDose->setText(SingleToText(s.AlcDose));
    txtMixDose->setText(SingleToText(s.MixDose));
    txtTotDose->setText(SingleToText(s.TotDose));
}

void frmInfo::Command1_Click()
{
    close();
}

void frmInfo::keyPressEvent(QKeyEvent *event)
{
    if (!handleKeyWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
