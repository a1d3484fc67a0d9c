#include "calc/dose/CalcDose.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/DosingState.h"
#include "forms/common/OperatorMessage.h"
#include "forms/common/Twips.h"
#include "forms/main/Module1.h"
#include "forms/main/frmInfo.h"
#include "forms/main/frmMain.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <bit>
#include <memory>

class TestFrmInfo : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmInfo> form;
    QStringList messages;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit *field(const char *name) { return control<QLineEdit>(name); }
    void type(const char *name, const QString &text)
    {
        field(name)->clear();
        QTest::keyClicks(field(name), text);
    }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void openForm(BodyUnits units = BodyUnits::InchesPounds, LevelScale level = {})
    {
        form =
            std::make_unique<frmInfo>(Module1::dosingState, Module1::run, ValueUnits{units, level});
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void typeParticipant(const QStringList &values)
    {
        const char *names[] = {"txtHeight", "txtWeight", "txtAge",  "txtBAL",
                               "txtDD",     "txtProof",  "txtRatio"};
        for (int i = 0; i < values.size(); ++i)
            type(names[i], values[i]);
    }
    QStringList results()
    {
        return {field("txtAlcDose")->text(), field("txtMixDose")->text(),
                field("txtTotDose")->text()};
    }

private slots:
    void init();
    void cleanup();
    void layoutMatchesDesign_data();
    void layoutMatchesDesign();
    void windowIsAFixedModalDialog();
    void tabOrder_data();
    void tabOrder();
    void textBoxesAreNamedByTheirLabels_data();
    void textBoxesAreNamedByTheirLabels();
    void loadShowsState_data();
    void loadShowsState();
    void calculateShowsVolumes_data();
    void calculateShowsVolumes();
    void switchingUnitsConvertsTheFields_data();
    void switchingUnitsConvertsTheFields();
    void noGenderStopsAfterAge();
    void unreadableFieldStopsThePress_data();
    void unreadableFieldStopsThePress();
    void faultKeepsShownResults_data();
    void faultKeepsShownResults();
    void reopeningShowsLastInputs();
    void targetInTheLabsUnit_data();
    void targetInTheLabsUnit();
    void enterPressesTheFocusedButton();
    void enterAndEscapeDoNothing();
};

void TestFrmInfo::init()
{
    QLocale::setDefault(QLocale::c());
    Module1::dosingState = DosingState{};
    Module1::dosingState.Gender = Gender::NotSpecified;
    Module1::dosingState.BAL = 0.08f;
    Module1::dosingState.DD = 40;
    Module1::dosingState.Proof = 200;
    Module1::dosingState.Ratio = 6;
    Module1::run.bodyInCm = BodyInCm{};
    Module1::run.lastDose.reset();
    Module1::run.typedTarget.reset();
    messages.clear();
    OperatorMessage::setCapture([this](const QString &text) { messages << text; });
    openForm();
}

void TestFrmInfo::cleanup()
{
    form.reset();
    OperatorMessage::setCapture({});
}

void TestFrmInfo::layoutMatchesDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    auto row = [](const char *name, const char *container, const char *caption, int l, int t, int w,
                  int h, int index = -1) {
        QTest::newRow(index < 0 ? name : qPrintable(QStringLiteral("%1(%2)").arg(name).arg(index)))
            << QString::fromLatin1(name) << index << QString::fromLatin1(container)
            << QString::fromLatin1(caption) << QRect(l, t, w, h);
    };
    row("Frame1", "frmInfo", "Participant Characteristics", 120, 120, 4455, 1815);
    row("Frame2", "Frame1", "Gender", 120, 360, 1455, 1215);
    row("optMale", "Frame2", "Male", 120, 240, 1215, 495);
    row("optFemale", "Frame2", "Female", 120, 600, 1215, 495);
    row("optNG", "Frame2", "NoGender", 1080, 600, 1215, 495);
    row("lblHeight", "Frame1", "Height (inches):", 1800, 480, 1215, 255);
    row("txtHeight", "Frame1", "", 3120, 480, 735, 285);
    row("lblweight", "Frame1", "Weight (lbs):", 1800, 840, 1215, 255);
    row("txtWeight", "frmInfo", "", 3240, 960, 735, 285);
    row("lblAge", "Frame1", "Age (years):", 1800, 1200, 1215, 255);
    row("txtAge", "frmInfo", "", 3240, 1320, 735, 285);
    row("Frame3", "frmInfo", "Other Information", 120, 2160, 4455, 1935);
    row("Label5", "Frame3", "Target BAL (g/100 ml):", 360, 360, 1935, 255);
    row("txtBAL", "Frame3", "", 3120, 360, 735, 285);
    row("Label1", "Frame3", "Duration of Drinking Period (minutes):", 360, 720, 2775, 255);
    row("txtDD", "frmInfo", "", 3240, 2880, 735, 285);
    row("Label3", "Frame3", "Alcohol Proof: ", 360, 1080, 2775, 255);
    row("txtProof", "Frame3", "", 3120, 1080, 735, 285);
    row("Label2", "Frame3", "Parts mixer for every 1 part alcohol:", 360, 1440, 2655, 255);
    row("txtRatio", "Frame3", "", 3120, 1440, 735, 285);
    row("Frame4", "frmInfo", "Dosing Results", 120, 4320, 4455, 1455);
    row("Label4", "Frame4", "Volume alcohol Dose (mls):", 360, 360, 2055, 255, 0);
    row("txtAlcDose", "Frame4", "", 3120, 360, 735, 285);
    row("Label4", "Frame4", "Volume mixer (mls):", 360, 720, 1575, 255, 1);
    row("txtMixDose", "Frame4", "", 3120, 720, 735, 285);
    row("Label4", "Frame4", "Total beverage volume (mls):", 360, 1080, 2055, 255, 2);
    row("txtTotDose", "Frame4", "", 3120, 1080, 735, 285);
    row("cmdCalcNow", "frmInfo", "Calculate NOW", 4920, 1800, 1455, 735);
    row("Command1", "frmInfo", "Finished", 4920, 2880, 1455, 735);
}

void TestFrmInfo::layoutMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);

    QWidget *widget = nullptr;
    for (QWidget *candidate : form->findChildren<QWidget *>(name)) {
        if (index < 0 || candidate->property("index").toInt() == index)
            widget = candidate;
    }
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    const QRect design = Twips::rect(twips.x(), twips.y(), twips.width(), twips.height());
    if (qobject_cast<QLabel *>(widget)) { // a caption may grow to the right to be read whole
        QCOMPARE(widget->geometry().adjusted(0, 0, design.width() - widget->width(), 0), design);
        QVERIFY(widget->width() >= design.width());
    } else {
        QCOMPARE(widget->geometry(), design);
    }
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        shown = frame->title();
    QCOMPARE(shown, caption);
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        QVERIFY(!box->isReadOnly());
}

void TestFrmInfo::windowIsAFixedModalDialog()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("User Input & Output"));
    QCOMPARE(form->size(), QSize(445, 410));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(form->isModal());
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(control<QRadioButton>("optNG")->isHidden());
    QVERIFY(control<QRadioButton>("optNG")->isChecked());
    for (const char *name : {"cmdCalcNow", "Command1"}) {
        auto *button = control<QPushButton>(name);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
        QVERIFY(button->font().bold());
        QCOMPARE(button->font().pointSizeF(), 9.75);
    }
}

// The gender choice is one stop in the focus order, on the chosen button once there is one.
void TestFrmInfo::tabOrder_data()
{
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QString>("genderStop");
    QTest::newRow("no gender yet") << ""
                                   << "optMale";
    QTest::newRow("female chosen") << "optFemale"
                                   << "optFemale";
}

void TestFrmInfo::tabOrder()
{
    QFETCH(QString, choose);
    QFETCH(QString, genderStop);
    if (!choose.isEmpty())
        click(choose.toLatin1().constData());
    const QStringList expected = {
        genderStop,   "txtWeight",  "txtAge",     "txtDD",  "txtRatio",  "txtProof", "txtAlcDose",
        "txtMixDose", "txtTotDose", "cmdCalcNow", "txtBAL", "txtHeight", "Command1"};
    QStringList chain;
    QWidget *first = control("Frame1");
    QWidget *widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible())
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first);
    const qsizetype start = chain.indexOf(genderStop);
    QVERIFY(start >= 0);
    chain = chain.mid(start) + chain.mid(0, start);
    QCOMPARE(chain.join(u','), expected.join(u','));
}

void TestFrmInfo::textBoxesAreNamedByTheirLabels_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("metric");
    QTest::newRow("height") << "txtHeight"
                            << "Height (inches):" << false;
    QTest::newRow("weight") << "txtWeight"
                            << "Weight (lbs):" << false;
    QTest::newRow("age") << "txtAge"
                         << "Age (years):" << false;
    QTest::newRow("bal") << "txtBAL"
                         << "Target BAL (g/100 ml):" << false;
    QTest::newRow("dd") << "txtDD"
                        << "Duration of Drinking Period (minutes):" << false;
    QTest::newRow("proof") << "txtProof"
                           << "Alcohol Proof:" << false;
    QTest::newRow("ratio") << "txtRatio"
                           << "Parts mixer for every 1 part alcohol:" << false;
    QTest::newRow("alcohol") << "txtAlcDose"
                             << "Volume alcohol Dose (mls):" << false;
    QTest::newRow("mixer") << "txtMixDose"
                           << "Volume mixer (mls):" << false;
    QTest::newRow("total") << "txtTotDose"
                           << "Total beverage volume (mls):" << false;
}

void TestFrmInfo::textBoxesAreNamedByTheirLabels()
{
    QFETCH(QString, field);
    QFETCH(QString, name);
    QFETCH(bool, metric);
    if (metric)
        openForm(BodyUnits::CentimetresKilograms);
    QLineEdit *box = this->field(field.toLatin1().constData());
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    // The caption on the screen says the same.
    const QList<QLabel *> labels = form->findChildren<QLabel *>();
    const auto caption = std::find_if(labels.begin(), labels.end(),
                                      [box](QLabel *label) { return label->buddy() == box; });
    QVERIFY(caption != labels.end());
    QCOMPARE((*caption)->text().trimmed(), name);
}

void TestFrmInfo::loadShowsState_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("shown"); // weight, height, age, bal, dd, proof, ratio
    QTest::newRow("point") << "en_US" << QStringList{"160", "70.5", "0", "0.08", "40", "200", "6"};
    QTest::newRow("comma") << "de_DE" << QStringList{"160", "70,5", "0", "0,08", "40", "200", "6"};
}

void TestFrmInfo::loadShowsState()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, shown);
    QLocale::setDefault(QLocale(locale));
    Module1::dosingState.Weight = 160;
    Module1::dosingState.Height = 70.5f;
    Module1::dosingState.Gender = Gender::Male; // never shown: each opening starts with no gender
    Module1::dosingState.AlcDose = 68;
    openForm();
    const QStringList fields = {field("txtWeight")->text(), field("txtHeight")->text(),
                                field("txtAge")->text(),    field("txtBAL")->text(),
                                field("txtDD")->text(),     field("txtProof")->text(),
                                field("txtRatio")->text()};
    QCOMPARE(fields, shown);
    QVERIFY(control<QRadioButton>("optNG")->isChecked());
    QVERIFY(!control<QRadioButton>("optMale")->isChecked());
    QVERIFY(!control<QRadioButton>("optFemale")->isChecked());
    QCOMPARE(results(), QStringList({"", "", ""}));
}

void TestFrmInfo::calculateShowsVolumes_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("metric");
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QStringList>("typed"); // height, weight, age, bal, dd, proof, ratio
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notices");
    QTest::newRow("male") << "C" << false << "optMale"
                          << QStringList{"70", "160", "25", "0.08", "40", "200", "6"}
                          << QStringList{"68", "408", "476"} << QStringList{};
    QTest::newRow("female") << "C" << false << "optFemale"
                            << QStringList{"65", "130", "25", "0.08", "40", "200", "6"}
                            << QStringList{"47", "282", "329"} << QStringList{};
    QTest::newRow("male comma locale")
        << "de_DE" << false << "optMale" << QStringList{"70", "160", "25", "0,1", "60", "100", "4"}
        << QStringList{"170", "680", "850"} << QStringList{};
    QTest::newRow("all zero female")
        << "C" << false << "optFemale" << QStringList{"0", "0", "0", "0.08", "40", "200", "6"}
        << QStringList{"-3", "-18", "-21"}
        << QStringList{"height 0 in is outside 48–90 in", "weight 0 lb is outside 70–500 lb",
                       "age 0 years is outside 18–100 years"};
    // The worked examples, their inches and pounds converted to centimetres and kilograms.
    QTest::newRow("male in metric")
        << "C" << true << "optMale"
        << QStringList{"177.8004", "72.57552", "25", "0.08", "40", "200", "6"}
        << QStringList{"68", "408", "476"} << QStringList{};
    QTest::newRow("female in metric, comma locale")
        << "de_DE" << true << "optFemale"
        << QStringList{"165,1003", "58,96761", "25", "0,08", "40", "200", "6"}
        << QStringList{"47", "282", "329"} << QStringList{};
    // By hand: body water 46.0812 l, 56.16146 g of ethanol, 71.44315 ml unrounded.
    QTest::newRow("178 in metric is plausible")
        << "C" << true << "optMale" << QStringList{"178", "80", "25", "0.08", "40", "200", "6"}
        << QStringList{"71", "426", "497"} << QStringList{};
}

void TestFrmInfo::calculateShowsVolumes()
{
    QFETCH(QString, locale);
    QFETCH(bool, metric);
    QFETCH(QString, gender);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notices);
    QLocale::setDefault(QLocale(locale));
    openForm(metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds);
    QSignalSpy calculated(form.get(), &frmInfo::doseCalculated);
    typeParticipant(typed);
    type("txtAlcDose", QStringLiteral("typed into a result field"));
    click(gender.toLatin1().constData());
    click("cmdCalcNow");
    // After the results, one message lists what to check before serving.
    QCOMPARE(messages, notices.isEmpty()
                           ? QStringList()
                           : QStringList("WARNING: Check these values before serving: " +
                                         notices.join("; ") + "."));
    QCOMPARE(results(), shown);
    QCOMPARE(calculated.size(), 1);
    QCOMPARE(calculated[0][0].toStringList(), notices);
    const DosingState &s = Module1::dosingState;
    QCOMPARE(s.Gender, gender == QLatin1String("optMale") ? Gender::Male : Gender::Female);
    QCOMPARE(QLocale().toString(double(s.AlcDose)), shown[0]);
    QCOMPARE(s.TotDose, s.AlcDose + s.MixDose);
    // The inputs are stored as read; metric ones beside the state, which holds them converted.
    const float height = QLocale().toFloat(typed[0]);
    QCOMPARE(metric ? Module1::run.bodyInCm.heightCm : s.Height, height);
    QCOMPARE(metric ? s.Height : Module1::run.bodyInCm.heightCm,
             float(metric ? height * 0.3937 : height / 0.3937));
    QCOMPARE(s.BAL, QLocale().toFloat(typed[3]));
    // The run keeps the values of the calculation for the session plan: they give the same dose.
    QVERIFY(Module1::run.lastDose);
    const DoseReport again = evaluateDose(*Module1::run.lastDose);
    QCOMPARE(again.dose.state.AlcDose, s.AlcDose);
    QCOMPARE(again.dose.state.Height, s.Height);
    QCOMPARE(Module1::run.lastDose->units,
             metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds);
}

// The window is modal, so the units change between openings: the next opening shows the stored
// height and weight in the new units, converted with the model's factors and shown to seven
// significant digits. What was typed is kept as typed, so switching back shows it unchanged.
void TestFrmInfo::switchingUnitsConvertsTheFields_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("typedInCm");
    QTest::addColumn<QString>("gender");        // empty: none, the press stops after the age
    QTest::addColumn<QStringList>("typed");     // height, weight
    QTest::addColumn<QStringList>("converted"); // as the other units show them
    QTest::newRow("inches to centimetres") << "C" << false << "optMale" << QStringList{"70", "160"}
                                           << QStringList{"177.8004", "72.57552"};
    QTest::newRow("centimetres to inches") << "C" << true << "optFemale" << QStringList{"178", "80"}
                                           << QStringList{"70.0786", "176.368"};
    QTest::newRow("no round trip for 163 cm")
        << "C" << true << "optMale" << QStringList{"163", "59.3"}
        << QStringList{"64.1731", "130.7328"};
    QTest::newRow("comma locale") << "de_DE" << false << "optMale" << QStringList{"70,5", "160"}
                                  << QStringList{"179,0704", "72,57552"};
    QTest::newRow("a press stopped for the gender still keeps both")
        << "C" << true << "" << QStringList{"178", "80"} << QStringList{"70.0786", "176.368"};
}

void TestFrmInfo::switchingUnitsConvertsTheFields()
{
    QFETCH(QString, locale);
    QFETCH(bool, typedInCm);
    QFETCH(QString, gender);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, converted);
    QLocale::setDefault(QLocale(locale));
    const BodyUnits typedUnits =
        typedInCm ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    const BodyUnits otherUnits =
        typedInCm ? BodyUnits::InchesPounds : BodyUnits::CentimetresKilograms;
    openForm(typedUnits);
    typeParticipant({typed[0], typed[1], "25"});
    if (!gender.isEmpty())
        click(gender.toLatin1().constData());
    click("cmdCalcNow");
    QCOMPARE(messages.size(), gender.isEmpty() ? 1 : 0);
    click("Command1");

    openForm(otherUnits);
    QCOMPARE(QStringList({field("txtHeight")->text(), field("txtWeight")->text()}), converted);
    // Longer than the box holds, they show their first digits.
    QCOMPARE(field("txtHeight")->cursorPosition(), 0);
    QCOMPARE(field("txtAge")->text(), QStringLiteral("25"));
    click("Command1");
    openForm(typedUnits);
    QCOMPARE(QStringList({field("txtHeight")->text(), field("txtWeight")->text()}), typed);
}

void TestFrmInfo::noGenderStopsAfterAge()
{
    typeParticipant({"70", "160", "25", "0.1", "60", "100", "4"});
    click("cmdCalcNow");
    QCOMPARE(messages, QStringList{"ERROR: Must Specify Participant Gender"});
    const DosingState &s = Module1::dosingState;
    QCOMPARE(s.Height, 70.0f);
    QCOMPARE(s.Weight, 160.0f);
    QCOMPARE(s.Age, 25.0f);
    QCOMPARE(s.Gender, Gender::NotSpecified);
    QCOMPARE(s.BAL, 0.08f);
    QCOMPARE(s.DD, 40.0f);
    QCOMPARE(s.Proof, 200.0f);
    QCOMPARE(s.Ratio, 6.0f);
    QCOMPARE(results(), QStringList({"", "", ""}));
    QVERIFY(form->isVisible());
    QVERIFY(!Module1::run.lastDose);

    // Reopened, the window shows the new participant beside the older parameters.
    click("Command1");
    openForm();
    QCOMPARE(field("txtHeight")->text(), QStringLiteral("70"));
    QCOMPARE(field("txtBAL")->text(), QStringLiteral("0.08"));
}

void TestFrmInfo::unreadableFieldStopsThePress_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("badIndex"); // in reading order: height, weight, age, bal, dd, ...
    QTest::addColumn<QString>("badText");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("problem");

    QTest::newRow("age not a number") << "C" << 2 << "abc"
                                      << "Age (years)"
                                      << "not a number";
    QTest::newRow("age empty") << "C" << 2 << ""
                               << "Age (years)"
                               << "empty";
    QTest::newRow("weight with grouping") << "en_US" << 1 << "1,500"
                                          << "Weight (lbs)"
                                          << "not a number";
    QTest::newRow("height point in comma locale") << "de_DE" << 0 << "1.50"
                                                  << "Height (inches)"
                                                  << "not a number";
    QTest::newRow("period after gender") << "C" << 4 << "forty"
                                         << "Duration of Drinking Period"
                                         << "not a number";
    QTest::newRow("proof too large") << "C" << 5 << "1e39"
                                     << "Alcohol Proof"
                                     << "too large";
    QTest::newRow("ratio last") << "C" << 6 << "6x"
                                << "Parts mixer"
                                << "not a number";
}

void TestFrmInfo::unreadableFieldStopsThePress()
{
    QFETCH(QString, locale);
    QFETCH(int, badIndex);
    QFETCH(QString, badText);
    QFETCH(QString, caption);
    QFETCH(QString, problem);
    QLocale::setDefault(QLocale(locale));
    DosingState &s = Module1::dosingState;
    s.AlcDose = 1;
    s.MixDose = 2;
    s.TotDose = 3;
    const DosingState before = s;
    openForm();

    QStringList typed = {"71", "161", "26", "2", "3", "4", "5"};
    typed[badIndex] = badText;
    typeParticipant(typed);
    click("optMale");
    click("cmdCalcNow");

    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith(QStringLiteral("ERROR: ")), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(caption), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(problem), qPrintable(messages[0]));
    QVERIFY(form->isVisible());
    QCOMPARE(results(), QStringList({"", "", ""}));

    // Fields before the bad one are stored; it and the later ones keep their old values.
    float DosingState::*const order[] = {
        &DosingState::Height, &DosingState::Weight, &DosingState::Age,  &DosingState::BAL,
        &DosingState::DD,     &DosingState::Proof,  &DosingState::Ratio};
    for (int i = 0; i < 7; ++i) {
        const float expected = i < badIndex ? typed[i].toFloat() : before.*order[i];
        QCOMPARE(s.*order[i], expected);
    }
    QCOMPARE(s.Gender, badIndex > 2 ? Gender::Male : Gender::NotSpecified);
    QCOMPARE(s.AlcDose, 1.0f);
    QCOMPARE(s.MixDose, 2.0f);
    QCOMPARE(s.TotDose, 3.0f);
}

void TestFrmInfo::faultKeepsShownResults_data()
{
    QTest::addColumn<QString>("proof");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("reason");
    QTest::newRow("proof 0") << "0"
                             << "160"
                             << "proof is 0";
    QTest::newRow("dose beyond range") << "200"
                                       << "200000"
                                       << "32767";
}

void TestFrmInfo::faultKeepsShownResults()
{
    QFETCH(QString, proof);
    QFETCH(QString, weight);
    QFETCH(QString, reason);
    typeParticipant({"70", "160", "25", "0.08", "40", "200", "6"});
    click("optMale");
    click("cmdCalcNow");
    QCOMPARE(results(), QStringList({"68", "408", "476"}));

    type("txtProof", proof);
    type("txtWeight", weight);
    click("cmdCalcNow");
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith(QStringLiteral("ERROR: The dose cannot be computed")),
             qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(reason), qPrintable(messages[0]));
    QCOMPARE(results(), QStringList({"68", "408", "476"}));
    QCOMPARE(Module1::dosingState.MixDose, 408.0f);
    QCOMPARE(Module1::dosingState.TotDose, 476.0f);
    QVERIFY(form->isVisible());
    // The session plan stays with the last dose that was calculated, inputs and all.
    QVERIFY(Module1::run.lastDose);
    QCOMPARE(Module1::run.lastDose->state.AlcDose, 68.0f);
    QCOMPARE(Module1::run.lastDose->state.Proof, 200.0f);
    QCOMPARE(Module1::run.lastDose->state.Weight, 160.0f);
}

void TestFrmInfo::reopeningShowsLastInputs()
{
    typeParticipant({"70", "1.50", "25", "0.080", "40", "200", "6"});
    click("optFemale");
    click("cmdCalcNow");
    QVERIFY(!results()[0].isEmpty());
    const float alcohol = Module1::dosingState.AlcDose;

    click("Command1");
    QVERIFY(!form->isVisible());
    openForm();
    QCOMPARE(field("txtWeight")->text(), QStringLiteral("1.5"));
    QCOMPARE(field("txtBAL")->text(), QStringLiteral("0.08"));
    QVERIFY(control<QRadioButton>("optNG")->isChecked());
    QCOMPARE(results(), QStringList({"", "", ""}));
    QCOMPARE(Module1::dosingState.AlcDose, alcohol);
    QCOMPARE(Module1::dosingState.Gender, Gender::Female);
}

// The target is typed and shown in the lab's unit; the state keeps its g/100 ml. Calculating again
// without editing never moves it by a bit, whether the level shown was typed or converted.
void TestFrmInfo::targetInTheLabsUnit_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<float>("stored"); // the BAL the window opens with
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed"); // empty: left as shown
    QTest::addColumn<float>("bal");     // the BAL calculated with
    const LevelScale mgPerLitre{LevelUnit::MilligramsPerLitre, 2000};
    QTest::newRow("typed in mg/L at 2000:1") << mgPerLitre << 0.1f << "Target BrAC (mg/L):"
                                             << "0.5"
                                             << "0.40" << 0.08f;
    QTest::newRow("shown from the BAL, left as shown")
        << mgPerLitre << 0.08f << "Target BrAC (mg/L):"
        << "0.4"
        << "" << 0.08f;
    QTest::newRow("a BAL no short level gives, left as shown")
        << LevelScale{LevelUnit::MicrogramsPer100Ml, 2317} << 0.0812345f
        << QString::fromUtf8("Target BrAC (\u00b5g/100 ml):") << "35.06"
        << "" << 0.0812345f;
    QTest::newRow("blood in g/L") << LevelScale{LevelUnit::GramsPerLitre} << 0.08f
                                  << "Target BAL (g/L):"
                                  << "0.8"
                                  << "1" << 0.1f;
    QTest::newRow("g/100 ml as ever") << LevelScale{} << 0.08f << "Target BAL (g/100 ml):"
                                      << "0.08"
                                      << "" << 0.08f;
}

void TestFrmInfo::targetInTheLabsUnit()
{
    QFETCH(LevelScale, level);
    QFETCH(float, stored);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(float, bal);
    Module1::dosingState.BAL = stored;
    openForm(BodyUnits::InchesPounds, level);
    QCOMPARE(control<QLabel>("Label5")->text(), caption);
    QVERIFY2(field("txtBAL")->text().startsWith(shown), qPrintable(field("txtBAL")->text()));
    typeParticipant({"70", "160", "25"});
    if (!typed.isEmpty())
        type("txtBAL", typed);
    click("optMale");
    click("cmdCalcNow");
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    QCOMPARE(std::bit_cast<quint32>(Module1::dosingState.BAL), std::bit_cast<quint32>(bal));

    // Opened again and calculated without editing: the very same BAL and dose.
    const DosingState first = Module1::dosingState;
    openForm(BodyUnits::InchesPounds, level);
    const QString again = field("txtBAL")->text();
    click("optMale");
    click("cmdCalcNow");
    QCOMPARE(std::bit_cast<quint32>(Module1::dosingState.BAL), std::bit_cast<quint32>(first.BAL));
    QCOMPARE(Module1::dosingState.AlcDose, first.AlcDose);
    QCOMPARE(field("txtBAL")->text(), again);
}

// Enter presses the button that has the focus, as on the classic platform; it is no default.
void TestFrmInfo::enterPressesTheFocusedButton()
{
    typeParticipant({"70", "160", "25"});
    click("optMale");
    control("cmdCalcNow")->setFocus();
    QTest::keyClick(control("cmdCalcNow"), Qt::Key_Return);
    QCOMPARE(results(), QStringList({"68", "408", "476"}));
    control("Command1")->setFocus();
    QTest::keyClick(control("Command1"), Qt::Key_Enter);
    QVERIFY(!form->isVisible());
}

void TestFrmInfo::enterAndEscapeDoNothing()
{
    typeParticipant({"70", "160", "25"});
    click("optMale");
    field("txtAge")->setFocus();
    QTest::keyClick(field("txtAge"), Qt::Key_Return);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(form->isVisible());
    QCOMPARE(results(), QStringList({"", "", ""}));
    QCOMPARE(Module1::dosingState.Height, 0.0f);
    QCOMPARE(field("txtHeight")->text(), QStringLiteral("70"));
}

QTEST_MAIN(TestFrmInfo)
#include "tst_frminfo.moc"
