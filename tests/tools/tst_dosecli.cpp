#include "tests/support/ReferenceFiles.h"
#include "tests/tools/DoseProcess.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(DoseOutput)

namespace {

QStringList arguments(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

// "name value" lines into a map, so a check does not depend on the order of the lines.
QMap<QByteArray, QByteArray> namedValues(const QByteArray &output)
{
    QMap<QByteArray, QByteArray> values;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            values.insert(parts[0], parts[1]);
    }
    return values;
}

const QByteArray Header = "gender,height,weight,age,bal,dd,proof,ratio";
const QByteArray ResultHeader = Header + ",alcohol_ml,mixer_ml,total_ml,error";

} // namespace

class TestDoseCli : public QObject {
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void explainedIntermediates_data();
    void explainedIntermediates();
    void computationErrors_data();
    void computationErrors();
    void usageErrors_data();
    void usageErrors();
    void roster_data();
    void roster();
    void rosterOptions_data();
    void rosterOptions();
    void rosterWithPlan();
    void rosterFromFile();
    void scheduleByTheProtocol_data();
    void scheduleByTheProtocol();
    void protocolOverrides_data();
    void protocolOverrides();
    void checkRecords_data();
    void checkRecords();
    void numbersIgnoreTheLocale();
    void helpAndVersion();
};

void TestDoseCli::workedExamples_data()
{
    QTest::addColumn<QString>("participant");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("warnings"); // standard error

    // The dosing model's published worked examples, in ml.
    QTest::newRow("male at the defaults")
        << "--gender male --height 70 --weight 160 --age 25"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n") << QByteArray();
    QTest::newRow("female at the defaults")
        << "--gender female --height 65 --weight 130 --age 25"
        << QByteArray("alcohol_ml 47\nmixer_ml 282\ntotal_ml 329\n") << QByteArray();
    QTest::newRow("male, 80 proof, ratio 3")
        << "--gender male --height 70 --weight 160 --age 25 --proof 80 --ratio 3"
        << QByteArray("alcohol_ml 169\nmixer_ml 507\ntotal_ml 676\n") << QByteArray();
    QTest::newRow("male, every parameter given")
        << "--gender m --height 70 --weight 160 --age 25 --bal 0.1 --dd 60 --proof 100 --ratio 4"
        << QByteArray("alcohol_ml 170\nmixer_ml 680\ntotal_ml 850\n") << QByteArray();
    QTest::newRow("all zero, female")
        << "--gender 0 --height 0 --weight 0 --age 0"
        << QByteArray("alcohol_ml -3\nmixer_ml -18\ntotal_ml -21\n")
        << QByteArray("WARNING: height 0 in is outside 48\u201390 in\n"
                      "WARNING: weight 0 lb is outside 70\u2013500 lb\n"
                      "WARNING: age 0 years is outside 18\u2013100 years\n");
    QTest::newRow("the defaults given explicitly")
        << "--gender MALE --height 70 --weight 160 --age 25 --bal 0.08 --dd 40 --proof 200 --ratio "
           "6"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n") << QByteArray();
    QTest::newRow("name=value, single dash, other number forms")
        << "-gender=1 --height=7e1 --weight=160.000 --age=+25"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n") << QByteArray();
    QTest::newRow("ratio 0 leaves only the alcohol")
        << "--gender F --height 65 --weight 130 --age 25 --ratio 0"
        << QByteArray("alcohol_ml 47\nmixer_ml 0\ntotal_ml 47\n") << QByteArray();
    QTest::newRow("male in centimetres and kilograms")
        << "--gender male --height-cm 177.8004 --weight-kg 72.57552 --age 25"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n") << QByteArray();
    QTest::newRow("female in centimetres and kilograms, parameters given")
        << "--gender f --weight-kg=58.96761 --age 25 --height-cm 165.1003 --proof 200"
        << QByteArray("alcohol_ml 47\nmixer_ml 282\ntotal_ml 329\n") << QByteArray();
    // By hand: 178 in is 452.12 cm, body water 87.5 l; 178 cm gives 46.08 l.
    QTest::newRow("178 typed as inches")
        << "--gender male --height 178 --weight 160 --age 25"
        << QByteArray("alcohol_ml 113\nmixer_ml 678\ntotal_ml 791\n")
        << QByteArray("WARNING: height 178 in is outside 48\u201390 in\n"
                      "WARNING: ethanol 1.22 g/kg is above 1.2 g/kg\n");
    QTest::newRow("178 as centimetres")
        << "--gender male --height-cm 178 --weight-kg 80 --age 25"
        << QByteArray("alcohol_ml 71\nmixer_ml 426\ntotal_ml 497\n") << QByteArray();
    QTest::newRow("several warnings, metric")
        << "--gender f --height-cm 70 --weight-kg 250 --age 25 --bal 0.3 --ratio 25"
        << QByteArray("alcohol_ml 338\nmixer_ml 8450\ntotal_ml 8788\n")
        << QByteArray("WARNING: height 70 cm is outside 122\u2013229 cm\n"
                      "WARNING: weight 250 kg is outside 32\u2013227 kg\n"
                      "WARNING: target BAL 0.3 g/100 ml is outside 0\u20130.2 g/100 ml\n"
                      "WARNING: mixer ratio 25 is outside 0\u201320\n");
    // The session plan of the worked example: peak 0.0807 after 70 minutes, below 0.02 after
    // 313, zero after 393; 68 ml in three portions takes 23, 23 and 22.
    QTest::newRow("session plan")
        << "--gender male --height 70 --weight 160 --age 25 --plan"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n"
                      "peak_bal 0.0807\npeak_after_min 70\nrelease_after_min 313\n"
                      "zero_after_min 393\n"
                      "portion 1 at_min 0 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
                      "portion 2 at_min 13 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
                      "portion 3 at_min 27 alcohol_ml 22 mixer_ml 136 total_ml 158\n")
        << QByteArray();
    // While the personal forecast does not apply, each of its lines is none.
    const QByteArray noForecast =
        "personal_readings none\npersonal_elimination none\npersonal_elimination_low none\n"
        "personal_elimination_high none\npersonal_release_at_min none\n"
        "personal_release_band_from_min none\npersonal_release_band_to_min none\n";
    // The session's worked example: falling from 70 minutes, the limb shows at 100; the booster
    // over 10 minutes just after it starts from 0.054 carried to 101 minutes, 0.05375, and is the
    // dose for float32(0.08 - 0.05375). A placebo floats 5 ml on each.
    const QByteArray plan = "alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n"
                            "peak_bal 0.0807\npeak_after_min 70\nrelease_after_min 313\n"
                            "zero_after_min 393\n"
                            "portion 1 at_min 0 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
                            "portion 2 at_min 13 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
                            "portion 3 at_min 27 alcohol_ml 22 mixer_ml 136 total_ml 158\n";
    // Each reading against the plan's curve (expected 0.0807 at its peak, 70 minutes, then
    // falling 0.015 an hour) in time order, then what the readings show.
    QTest::newRow("session: readings and a booster")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.06 "
           "--reading 85=0.057 --reading=100=0.054 --booster-dd 10"
        << plan + "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
                  "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
                  "reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n"
                  "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
                  "descending_withdrawn_at_min none\nrelease_reached_at_min none\n"
                  "personal_readings 3\npersonal_elimination 0.0157\n"
                  "personal_elimination_low 0.0121\npersonal_elimination_high 0.0193\n"
                  "personal_release_at_min 227\npersonal_release_band_from_min 199\n"
                  "personal_release_band_to_min 272\n"
                  "booster_alcohol_ml 25\nbooster_mixer_ml 150\nbooster_total_ml 175\n"
                  "booster_from_level 0.05375\n"
        << QByteArray();
    // The slip: 0.006 typed 15 minutes after 0.068, where 0.066 was meant, falls 0.248 an hour.
    // It shows the limb as any fall does, but never releases.
    QTest::newRow("session: a reading that falls faster than a body eliminates")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 80=0.072 "
           "--reading 95=0.070 --reading 110=0.068 --reading 125=0.006"
        << plan + "reading 1 at_min 80 level 0.072 expected 0.0782 difference -0.0062 counts\n"
                  "reading 2 at_min 95 level 0.07 expected 0.0744 difference -0.0044 counts\n"
                  "reading 3 at_min 110 level 0.068 expected 0.0707 difference -0.0027 counts\n"
                  "reading 4 at_min 125 level 0.006 expected 0.0669 difference -0.0609 counts "
                  "implausible_fall\n"
                  "observed_peak 0.072\nobserved_peak_at_min 80\ndescending_shown_at_min 110\n"
                  "descending_withdrawn_at_min none\nrelease_reached_at_min none\n"
                  "release_waits_for_confirmation_at_min 125\n"
                  "personal_readings 3\npersonal_elimination 0.0154\n"
                  "personal_elimination_low 0.0118\npersonal_elimination_high 0.0190\n"
                  "personal_release_at_min 290\npersonal_release_band_from_min 252\n"
                  "personal_release_band_to_min 351\n"
        << QByteArray("WARNING: The reading of 0.006 g/100 ml at minute 125 is 0.062 below the "
                      "reading at minute 110, a fall of 0.248 per hour; no body eliminates faster "
                      "than 0.040 per hour: it may be a slip.\n");
    // Two readings at or below 0.02 release, the second at least 10 minutes after the first: 195
    // is too soon, 210 releases. Without the options one releases at 190.
    const QString confirmed =
        QStringLiteral("--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.06 "
                       "--reading 100=0.05 --reading 130=0.04 --reading 190=0.02 --reading "
                       "195=0.019 --reading 210=0.018");
    const QByteArray confirmedReadings =
        "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
        "reading 2 at_min 100 level 0.05 expected 0.0732 difference -0.0232 counts\n"
        "reading 3 at_min 130 level 0.04 expected 0.0657 difference -0.0257 counts\n"
        "reading 4 at_min 190 level 0.02 expected 0.0507 difference -0.0307 counts\n"
        "reading 5 at_min 195 level 0.019 expected 0.0494 difference -0.0304 counts\n"
        "reading 6 at_min 210 level 0.018 expected 0.0457 difference -0.0277 counts\n"
        "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min 130\n"
        "descending_withdrawn_at_min none\n";
    const QByteArray sixLearnt =
        "personal_readings 6\npersonal_elimination 0.0180\npersonal_elimination_low 0.0160\n"
        "personal_elimination_high 0.0200\npersonal_release_at_min 198\n"
        "personal_release_band_from_min 190\npersonal_release_band_to_min 208\n";
    QTest::newRow("session: a release confirmed by a second reading")
        << confirmed + " --release-confirm 2 --release-apart 10"
        << plan + confirmedReadings +
               "release_reached_at_min 210\nrelease_waits_for_confirmation_at_min none\n" +
               sixLearnt
        << QByteArray();
    QTest::newRow("session: waiting for the second reading")
        << confirmed.section(QLatin1String(" --reading 210"), 0, 0) +
               " --release-confirm 2 --release-apart 10"
        << plan + confirmedReadings.left(confirmedReadings.indexOf("reading 6")) +
               confirmedReadings.mid(confirmedReadings.indexOf("observed_peak")) +
               "release_reached_at_min none\nrelease_waits_for_confirmation_at_min 190\n"
               "personal_readings 5\npersonal_elimination 0.0184\n"
               "personal_elimination_low 0.0162\npersonal_elimination_high 0.0206\n"
               "personal_release_at_min 195\npersonal_release_band_from_min 186\n"
               "personal_release_band_to_min 207\n"
        << QByteArray();
    QTest::newRow("session: one reading releases without the options")
        << confirmed << plan + confirmedReadings + "release_reached_at_min 190\n" + sixLearnt
        << QByteArray();
    // Drinking ends at 40 minutes: a reading before 55 may hold mouth alcohol and shows nothing,
    // so the fall to 0.009 neither shows the limb nor releases.
    QTest::newRow("session: mouth alcohol")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 5=0.025 "
           "--reading 10=0.012 --reading 15=0.009 --reading 30=0.015 --reading 45=0.025 "
           "--reading 60=0.033"
        << plan +
               "reading 1 at_min 5 level 0.025 expected 0.0058 difference 0.0192 mouth_alcohol\n"
               "reading 2 at_min 10 level 0.012 expected 0.0115 difference 0.0005 "
               "mouth_alcohol\n"
               "reading 3 at_min 15 level 0.009 expected 0.0173 difference -0.0083 "
               "mouth_alcohol\n"
               "reading 4 at_min 30 level 0.015 expected 0.0346 difference -0.0196 "
               "mouth_alcohol\n"
               "reading 5 at_min 45 level 0.025 expected 0.0519 difference -0.0269 "
               "mouth_alcohol\n"
               "reading 6 at_min 60 level 0.033 expected 0.0691 difference -0.0361 counts\n"
               "observed_peak 0.033\nobserved_peak_at_min 60\ndescending_shown_at_min none\n"
               "descending_withdrawn_at_min none\nrelease_reached_at_min none\n" +
               noForecast
        << QByteArray();
    QTest::newRow("session: a withdrawn limb")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.06 "
           "--reading 85=0.057 --reading 100=0.054 --reading 105=0.055"
        << plan +
               "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
               "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
               "reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n"
               "reading 4 at_min 105 level 0.055 expected 0.0719 difference -0.0169 counts\n"
               "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min none\n"
               "descending_withdrawn_at_min 105\nrelease_reached_at_min none\n" +
               noForecast
        << QByteArray();
    // 0.4 mg/L at 2100:1 is 0.084 g/100 ml; 0.09 mg/L is 0.0189, below the release level 0.02,
    // as is the baseline, which comes before the limb and does not release. The readings fall
    // 0.021 g/100 ml an hour, as a body may. The expected levels are in mg/L, as peak_level is
    // written: at 60 minutes the peak 0.3841 mg/L * 60 / 70.
    QTest::newRow("session: a baseline, the release after the limb, in mg/L")
        << "--gender male --height 70 --weight 160 --age 25 --plan --level-unit mg/L "
           "--reading -5=0 --reading 60=0.4 --reading 120=0.3 --reading 180=0.2 --reading "
           "240=0.09"
        << plan.left(plan.indexOf("peak_after_min")) + "peak_level 0.3841\n" +
               plan.mid(plan.indexOf("peak_after_min")) +
               "reading 1 at_min -5 level 0 expected 0 difference 0 baseline\n"
               "reading 2 at_min 60 level 0.4 expected 0.3292 difference 0.07076 counts\n"
               "reading 3 at_min 120 level 0.3 expected 0.3246 difference -0.02459 counts\n"
               "reading 4 at_min 180 level 0.2 expected 0.2532 difference -0.05316 counts\n"
               "reading 5 at_min 240 level 0.09 expected 0.1817 difference -0.09173 counts\n"
               "observed_peak 0.4\nobserved_peak_at_min 60\ndescending_shown_at_min 180\n"
               "descending_withdrawn_at_min none\nrelease_reached_at_min 240\n"
               "personal_readings 4\npersonal_elimination 0.0201\n"
               "personal_elimination_low 0.0181\npersonal_elimination_high 0.0220\n"
               "personal_release_at_min 246\npersonal_release_band_from_min 235\n"
               "personal_release_band_to_min 259\n"
        << QByteArray();
    // Served at 110 over 10 minutes from the reading 0.054 at 100 carried to 110, 0.0515: its own
    // expected peak 0.029 on top of that at 110 + 10 + 30 minutes, below 0.02 four hours later
    // and zero at 472, as the window shows it. A reading within 15 minutes of the booster's
    // drinking may hold mouth alcohol; a later one is the booster's. Both are judged against the
    // booster's course.
    const QByteArray served =
        "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
        "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
        "reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n"
        "reading 4 at_min 130 level 0.07 expected 0.0660 difference 0.0040 mouth_alcohol\n"
        "reading 5 at_min 160 level 0.075 expected 0.0780 difference -0.0030 booster\n"
        "observed_peak 0.075\nobserved_peak_at_min 160\ndescending_shown_at_min none\n"
        "descending_withdrawn_at_min none\nrelease_reached_at_min none\n" +
        noForecast +
        "booster_alcohol_ml 27\nbooster_mixer_ml 162\nbooster_total_ml 189\n"
        "booster_from_level 0.0515\n"
        "booster_served_at_min 110\nbooster_peak 0.0805\nbooster_peak_after_min 150\n"
        "booster_release_after_min 392\nbooster_zero_after_min 472\n";
    const QString servedArguments =
        QStringLiteral("--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.06 "
                       "--reading 85=0.057 --reading 100=0.054 --reading 130=0.07 "
                       "--reading 160=0.075 --booster-dd 10 --booster-served 110");
    QTest::newRow("session: a booster served") << servedArguments << plan + served << QByteArray();
    // With the band each reading has its edges: the plan's at the expected peak at 70 minutes,
    // the booster's from 110 on, narrow since only what follows the booster spreads.
    QByteArray banded = served;
    for (const auto &[reading, edges] :
         QList<QPair<QByteArray, QByteArray>>{{"-0.0207", "0.0585 band_high 0.1029"},
                                              {"-0.0199", "0.0545 band_high 0.0993"},
                                              {"-0.0192", "0.0505 band_high 0.0958"},
                                              {"0.0040", "0.0615 band_high 0.0705"},
                                              {"-0.0030", "0.0688 band_high 0.0872"}})
        banded.replace("difference " + reading + " ",
                       "difference " + reading + " band_low " + edges + " ");
    banded.replace("booster_peak_after_min 150\n", "booster_peak_after_min 150\n"
                                                   "booster_peak_band_low 0.0715\n"
                                                   "booster_peak_band_high 0.0895\n");
    QTest::newRow("session: the band of readings and of the booster")
        << servedArguments + " --band"
        << plan.left(plan.indexOf("portion 1")) +
               "peak_band_low 0.0585\npeak_band_high 0.1029\nrelease_band_from_min 211\n"
               "release_band_to_min 455\n" +
               plan.mid(plan.indexOf("portion 1")) + banded
        << QByteArray();
    // More than twice the expected peak: likely a slip of the decimal point, recorded all the same.
    QTest::newRow("session: a reading likely a slip")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.6"
        << plan +
               "reading 1 at_min 70 level 0.6 expected 0.0807 difference 0.5193 counts\n"
               "observed_peak 0.6\nobserved_peak_at_min 70\ndescending_shown_at_min none\n"
               "descending_withdrawn_at_min none\nrelease_reached_at_min none\n" +
               noForecast
        << QByteArray("WARNING: The reading of 0.6 g/100 ml at minute 70 is 7 times the expected "
                      "peak (0.0807 g/100 ml): it may be a slip.\n");
    // The observed peak is written as its reading is: as given, to the last digit.
    QTest::newRow("session: a level given with eight digits")
        << "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.15324968"
        << plan +
               "reading 1 at_min 70 level 0.15324968 expected 0.0807 difference 0.0726 counts\n"
               "observed_peak 0.15324968\nobserved_peak_at_min 70\ndescending_shown_at_min "
               "none\ndescending_withdrawn_at_min none\nrelease_reached_at_min none\n" +
               noForecast
        << QByteArray();
    // The worked example of docs/model.md: five readings on the limb, worked out by hand; with
    // --reading-sd each reading is taken as less sure.
    const QString forecast = QStringLiteral(
        "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.080 --reading "
        "85=0.077 --reading 100=0.073 --reading 115=0.069 --reading 130=0.066");
    const QByteArray forecastReadings =
        "reading 1 at_min 70 level 0.08 expected 0.0807 difference -0.0007 counts\n"
        "reading 2 at_min 85 level 0.077 expected 0.0769 difference 0.0001 counts\n"
        "reading 3 at_min 100 level 0.073 expected 0.0732 difference -0.0002 counts\n"
        "reading 4 at_min 115 level 0.069 expected 0.0694 difference -0.0004 counts\n"
        "reading 5 at_min 130 level 0.066 expected 0.0657 difference 0.0003 counts\n"
        "observed_peak 0.08\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
        "descending_withdrawn_at_min none\nrelease_reached_at_min none\n";
    QTest::newRow("session: the personal forecast")
        << forecast
        << plan + forecastReadings +
               "personal_readings 5\npersonal_elimination 0.0155\n"
               "personal_elimination_low 0.0123\npersonal_elimination_high 0.0188\n"
               "personal_release_at_min 305\npersonal_release_band_from_min 269\n"
               "personal_release_band_to_min 360\n"
        << QByteArray();
    QTest::newRow("session: the personal forecast with --reading-sd")
        << forecast + " --reading-sd 0.008"
        << plan + forecastReadings +
               "personal_readings 5\npersonal_elimination 0.0158\n"
               "personal_elimination_low 0.0122\npersonal_elimination_high 0.0194\n"
               "personal_release_at_min 301\npersonal_release_band_from_min 262\n"
               "personal_release_band_to_min 364\n"
        << QByteArray();
    // The schedule an hour after the start, every portion served on time: drinking ended at 40
    // minutes, so the first reading was due at 55, five minutes ago.
    const QString everyPortion = QStringLiteral(" --served 1=0 --served 2=13 --served 3=27");
    QTest::newRow("session: the schedule, every portion served")
        << "--gender male --height 70 --weight 160 --age 25 --plan" + everyPortion +
               " --schedule --now 60"
        << plan + "due reading at_min 55\nnext_due_at_min 55\noverdue 1\n"
        << QByteArray();
    QTest::newRow("session: the schedule, nothing served yet")
        << "--gender male --height 70 --weight 160 --age 25 --plan --schedule --now 5"
        << plan + "due portion 1 at_min 0\ndue portion 2 at_min 13\ndue portion 3 at_min 27\n"
                  "due reading at_min 55\nnext_due_at_min 0\noverdue 1\n"
        << QByteArray();
    // The booster drunk from 110 over 10 minutes: readings wait for 135, and the one at 160
    // puts the next at 175.
    QTest::newRow("session: the schedule after a booster")
        << servedArguments + everyPortion + " --schedule --now 200"
        << plan + served + "due reading at_min 175\nnext_due_at_min 175\noverdue 1\n"
        << QByteArray();
    // Released at 190 by the limb shown at 100, a fall a body can make: nothing is due.
    QTest::newRow("session: the schedule once released")
        << "--gender male --height 70 --weight 160 --age 25 --plan" + everyPortion +
               " --reading 70=0.06 --reading 85=0.057 --reading 100=0.054 --reading 190=0.019 "
               "--schedule --now 205"
        << plan + "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
                  "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
                  "reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n"
                  "reading 4 at_min 190 level 0.019 expected 0.0507 difference -0.0317 counts\n"
                  "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
                  "descending_withdrawn_at_min none\nrelease_reached_at_min 190\n"
                  "personal_readings 4\npersonal_elimination 0.0189\n"
                  "personal_elimination_low 0.0164\npersonal_elimination_high 0.0213\n"
                  "personal_release_at_min 199\npersonal_release_band_from_min 186\n"
                  "personal_release_band_to_min 215\n"
                  "next_due_at_min none\noverdue 0\n"
        << QByteArray();
    QTest::newRow("session: placebo with a float")
        << "--gender male --height 70 --weight 160 --age 25 --plan --placebo --float 5"
        << plan + "placebo_portion 1 at_min 0 alcohol_ml 5 mixer_ml 154 total_ml 159\n"
                  "placebo_portion 2 at_min 13 alcohol_ml 5 mixer_ml 154 total_ml 159\n"
                  "placebo_portion 3 at_min 27 alcohol_ml 5 mixer_ml 153 total_ml 158\n"
        << QByteArray();
    // The band by published spreads: 80 % of men like this one peak between 0.0585 and 0.1029
    // g/100 ml and fall below 0.02 between 211 and 455 minutes after the start.
    QTest::newRow("session plan with its band")
        << "--gender male --height 70 --weight 160 --age 25 --plan --band"
        << plan.left(plan.indexOf("portion 1")) +
               "peak_band_low 0.0585\npeak_band_high 0.1029\nrelease_band_from_min 211\n"
               "release_band_to_min 455\n" +
               plan.mid(plan.indexOf("portion 1"))
        << QByteArray();
    // In breath the ratio's spread widens the band; its edges are written as peak_level is. By
    // hand from the same spreads with 5 % for the ratio: 0.28795 and 0.51869 mg/L at 2000:1,
    // below 0.02 g/100 ml after 208.3 and 457.9 minutes.
    QTest::newRow("band in mg/L")
        << "--gender male --height 70 --weight 160 --age 25 --plan --band --level-unit mg/L "
           "--breath-ratio 2000"
        << plan.left(plan.indexOf("peak_after_min")) + "peak_level 0.4033\n" +
               plan.mid(plan.indexOf("peak_after_min"),
                        plan.indexOf("portion 1") - plan.indexOf("peak_after_min")) +
               "peak_band_low 0.288\npeak_band_high 0.5187\nrelease_band_from_min 208\n"
               "release_band_to_min 458\n" +
               plan.mid(plan.indexOf("portion 1"))
        << QByteArray();
    QTest::newRow("session plan, one portion, release level above the peak")
        << "--gender male --height 70 --weight 160 --age 25 --plan --portions=1 --release 0.09"
        << QByteArray("alcohol_ml 68\nmixer_ml 408\ntotal_ml 476\n"
                      "peak_bal 0.0807\npeak_after_min 70\nrelease_after_min 0\n"
                      "zero_after_min 393\n"
                      "portion 1 at_min 0 alcohol_ml 68 mixer_ml 408 total_ml 476\n")
        << QByteArray();
}

void TestDoseCli::workedExamples()
{
    QFETCH(QString, participant);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, warnings);
    const DoseRun run = runDose(participant.split(QLatin1Char(' ')));
    QCOMPARE(QString::fromUtf8(run.errors), QString::fromUtf8(warnings));
    QCOMPARE(run.exitCode, 0); // warnings never change it
    QCOMPARE(run.output, expected);
}

void TestDoseCli::explainedIntermediates_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<double>("heightCm");
    QTest::addColumn<double>("weightKg");
    QTest::addColumn<QList<int>>("volumes");
    QTest::newRow("inches and pounds")
        << "--height 70 --weight 160" << 70 / 0.3937 << 160 / 2.2046 << QList<int>{68, 408, 476};
    // Centimetres and kilograms are the intermediates as given, not converted there and back.
    QTest::newRow("centimetres and kilograms")
        << "--height-cm 178 --weight-kg 80" << 178.0 << 80.0 << QList<int>{71, 426, 497};
}

void TestDoseCli::explainedIntermediates()
{
    QFETCH(QString, body);
    QFETCH(double, heightCm);
    QFETCH(double, weightKg);
    QFETCH(QList<int>, volumes);
    const DoseRun run = runDose(arguments("--gender male --age 25 --explain") + body.split(u' '));
    QCOMPARE(run.exitCode, 0);
    const QMap<QByteArray, QByteArray> values = namedValues(run.output);

    // Worked by hand from the model: Watson's male body water, then the elimination allowance
    // plus the ethanol needed to reach 0.08 g/100 ml in the body water.
    const double hours = 40 / 60.0;
    const double bodyWater = 2.447 - 25 * 0.09516 + heightCm * 0.1074 + weightKg * 0.3362;
    const double grams = (hours + 0.5) * 0.15 * bodyWater / 0.8 + 0.08 * 10 * bodyWater / 0.8;
    const double unroundedMl = grams / 0.7861;
    const QList<QPair<QByteArray, double>> expected = {
        {"height_cm", heightCm},    {"weight_kg", weightKg},
        {"hours", hours},           {"body_water_l", bodyWater},
        {"alcohol_g", grams},       {"alcohol_ml_unrounded", unroundedMl},
        {"alcohol_ml", volumes[0]}, {"mixer_ml", volumes[1]},
        {"total_ml", volumes[2]}};
    QCOMPARE(values.size(), expected.size());
    for (const auto &[name, value] : expected) {
        QVERIFY2(values.contains(name), name.constData());
        bool isNumber = false;
        const double shown = values.value(name).toDouble(&isNumber);
        QVERIFY2(isNumber, name.constData());
        // Seven significant digits of a 32-bit float: agreement to a few parts in ten million.
        QVERIFY2(std::abs(shown - value) <= 2e-6 * std::abs(value),
                 (name + " " + values.value(name)).constData());
    }
}

void TestDoseCli::computationErrors_data()
{
    QTest::addColumn<QString>("participant");
    QTest::addColumn<QByteArray>("errorMentions");
    QTest::addColumn<QByteArray>("printed"); // what was computed before the error

    QTest::newRow("proof 0") << "--gender m --height 70 --weight 160 --age 25 --proof 0"
                             << QByteArray("proof is 0") << QByteArray();
    QTest::newRow("dose beyond 32767 ml") << "--gender f --height 70 --weight 1e30 --age 25"
                                          << QByteArray("-32768 to 32767") << QByteArray();
    QTest::newRow("mixer beyond 32767 ml")
        << "--gender f --height 65 --weight 130 --age 25 --ratio 1000" << QByteArray("mixer")
        << QByteArray();
    // A target near 0 only covers the elimination: there is a dose, but no rise and no plan.
    const QString session =
        QStringLiteral("--gender m --height 70 --weight 160 --age 25 --plan --booster-dd 10");
    const QByteArray plan =
        runDose(session.section(QLatin1String(" --booster"), 0, 0).split(' ')).output;
    const QByteArray noLimb = "descending_shown_at_min none\ndescending_withdrawn_at_min none\n"
                              "release_reached_at_min none\n";
    const QByteArray noForecast =
        "personal_readings none\npersonal_elimination none\npersonal_elimination_low none\n"
        "personal_elimination_high none\npersonal_release_at_min none\n"
        "personal_release_band_from_min none\npersonal_release_band_to_min none\n";
    QTest::newRow("booster before the limb descends")
        << session + " --reading 70=0.06 --reading 85=0.057"
        << QByteArray("ERROR: Wait for the descending limb: two falling readings in a row.\n")
        << plan +
               "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
               "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
               "observed_peak 0.06\nobserved_peak_at_min 70\n" +
               noLimb + noForecast;
    QTest::newRow("booster at the target")
        << session + " --reading 70=0.1 --reading 85=0.095 --reading 100=0.09"
        << QByteArray("ERROR: The latest reading is at or above the target.\n")
        << plan + "reading 1 at_min 70 level 0.1 expected 0.0807 difference 0.0193 counts\n"
                  "reading 2 at_min 85 level 0.095 expected 0.0769 difference 0.0181 counts\n"
                  "reading 3 at_min 100 level 0.09 expected 0.0732 difference 0.0168 counts\n"
                  "observed_peak 0.1\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
                  "descending_withdrawn_at_min none\nrelease_reached_at_min none\n"
                  "personal_readings 3\npersonal_elimination 0.0162\n"
                  "personal_elimination_low 0.0126\npersonal_elimination_high 0.0198\n"
                  "personal_release_at_min 364\npersonal_release_band_from_min 312\n"
                  "personal_release_band_to_min 445\n";
    // A placebo has no curve and no limb; it is released once no reading is above 0.02.
    QTest::newRow("booster for a placebo")
        << session + " --placebo --reading 70=0.002 --reading 85=0.001 --reading 100=0"
        << QByteArray("ERROR: No booster for the placebo beverage: no curve is expected.\n")
        << plan +
               "placebo_portion 1 at_min 0 alcohol_ml 0 mixer_ml 159 total_ml 159\n"
               "placebo_portion 2 at_min 13 alcohol_ml 0 mixer_ml 159 total_ml 159\n"
               "placebo_portion 3 at_min 27 alcohol_ml 0 mixer_ml 158 total_ml 158\n"
               "reading 1 at_min 70 level 0.002 expected none difference none counts\n"
               "reading 2 at_min 85 level 0.001 expected none difference none counts\n"
               "reading 3 at_min 100 level 0 expected none difference none counts\n"
               "observed_peak 0.002\nobserved_peak_at_min 70\n"
               "descending_shown_at_min none\ndescending_withdrawn_at_min none\n"
               "release_reached_at_min 70\n" +
               noForecast;
    // The booster served is judged on the readings before it: here one that may hold mouth
    // alcohol. No reading counts.
    QTest::newRow("booster served after mouth alcohol")
        << session + " --reading 30=0.03 --booster-served 45"
        << QByteArray("ERROR: Wait: the latest reading may hold mouth alcohol (less than 15 "
                      "minutes after drinking).\n")
        << plan +
               "reading 1 at_min 30 level 0.03 expected 0.0346 difference -0.0046 "
               "mouth_alcohol\n"
               "observed_peak none\nobserved_peak_at_min none\n" +
               noLimb + noForecast;
    // A booster is worked out only from a reading at most 20 minutes old, and never once the
    // release level is reached.
    const QByteArray worked =
        "reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
        "reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
        "reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n";
    QTest::newRow("booster from a reading 85 minutes old")
        << session +
               " --reading 70=0.06 --reading 85=0.057 --reading 100=0.054 --booster-served 185"
        << QByteArray("ERROR: Take a reading first: the latest counting reading is 1 h 25 min old; "
                      "a booster is worked out from a reading at most 20 minutes old.\n")
        << plan + worked +
               "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
               "descending_withdrawn_at_min none\nrelease_reached_at_min none\n"
               "personal_readings 3\npersonal_elimination 0.0157\n"
               "personal_elimination_low 0.0121\npersonal_elimination_high 0.0193\n"
               "personal_release_at_min 227\npersonal_release_band_from_min 199\n"
               "personal_release_band_to_min 272\n";
    QTest::newRow("booster after the release")
        << session + " --reading 70=0.06 --reading 85=0.057 --reading 100=0.054 --reading "
                     "190=0.019 --booster-served 195"
        << QByteArray("ERROR: The participant has reached the release level; a booster would "
                      "start the session again.\n")
        << plan + worked +
               "reading 4 at_min 190 level 0.019 expected 0.0507 difference -0.0317 counts\n"
               "observed_peak 0.06\nobserved_peak_at_min 70\ndescending_shown_at_min 100\n"
               "descending_withdrawn_at_min none\nrelease_reached_at_min 190\n"
               "personal_readings 4\npersonal_elimination 0.0189\n"
               "personal_elimination_low 0.0164\npersonal_elimination_high 0.0213\n"
               "personal_release_at_min 199\npersonal_release_band_from_min 186\n"
               "personal_release_band_to_min 215\n";
    QTest::newRow("no session plan")
        << "--gender m --height 70 --weight 160 --age 25 --bal 0.0001 --plan"
        << QByteArray("expected peak BAL is not above 0")
        << QByteArray("alcohol_ml 12\nmixer_ml 72\ntotal_ml 84\n");
}

void TestDoseCli::computationErrors()
{
    QFETCH(QString, participant);
    QFETCH(QByteArray, errorMentions);
    QFETCH(QByteArray, printed);
    const DoseRun run = runDose(participant.split(QLatin1Char(' ')));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.output, printed);
    QVERIFY2(run.errors.startsWith("ERROR: "), run.errors.constData());
    QVERIFY2(run.errors.contains(errorMentions), run.errors.constData());
}

void TestDoseCli::usageErrors_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("errorMentions");
    QTest::addColumn<DoseOutput>("outputTo");

    const QString participant = QStringLiteral("--gender m --height 70 --weight 160 --age 25");
    QTest::newRow("nothing asked")
        << QString() << QByteArray() << QByteArray("nothing to compute") << DoseOutput::Read;
    QTest::newRow("unknown option")
        << participant + " --sex m" << QByteArray() << QByteArray("sex") << DoseOutput::Read;
    QTest::newRow("missing age") << "--gender m --height 70 --weight 160" << QByteArray()
                                 << QByteArray("missing: --age") << DoseOutput::Read;
    QTest::newRow("option given twice") << participant + " --height 71" << QByteArray()
                                        << QByteArray("--height") << DoseOutput::Read;
    QTest::newRow("stray argument")
        << participant + " 80" << QByteArray() << QByteArray("\"80\"") << DoseOutput::Read;
    QTest::newRow("decimal comma")
        << "--gender m --height 70,5 --weight 160 --age 25" << QByteArray()
        << QByteArray("--height \"70,5\"") << DoseOutput::Read;
    QTest::newRow("number too large")
        << participant + " --bal 1e39" << QByteArray() << QByteArray("--bal") << DoseOutput::Read;
    QTest::newRow("unknown gender")
        << "--gender x --height 70 --weight 160 --age 25" << QByteArray()
        << QByteArray("--gender \"x\"") << DoseOutput::Read;
    QTest::newRow("empty gender") << "--gender= --height 70 --weight 160 --age 25" << QByteArray()
                                  << QByteArray("--gender is empty") << DoseOutput::Read;
    QTest::newRow("roster with participant options")
        << "--csv - --proof 80" << QByteArray() << QByteArray("--proof") << DoseOutput::Read;
    QTest::newRow("roster file missing")
        << "--csv /nonexistent/roster.csv" << QByteArray() << QByteArray("/nonexistent/roster.csv")
        << DoseOutput::Read;
    QTest::newRow("empty roster") << "--csv -" << QByteArray() << QByteArray("header")
                                  << DoseOutput::Read;
    QTest::newRow("header without proof")
        << "--csv -" << QByteArray("gender,height,weight,age,bal,dd,ratio\nm,70,160,25,0.08,40,6\n")
        << QByteArray("no column proof") << DoseOutput::Read;
    QTest::newRow("header without two columns")
        << "--csv -" << QByteArray("id,gender,weight,age,dd,proof,ratio\n")
        << QByteArray("no column height, bal") << DoseOutput::Read;
    QTest::newRow("column twice") << "--csv -" << QByteArray(Header + ",Height\n")
                                  << QByteArray("height twice") << DoseOutput::Read;
    QTest::newRow("result column already there") << "--csv -" << QByteArray(ResultHeader + "\n")
                                                 << QByteArray("alcohol_ml") << DoseOutput::Read;
    QTest::newRow("inches with kilograms")
        << "--gender m --height 70 --weight-kg 80 --age 25" << QByteArray()
        << QByteArray("--height and --weight-kg cannot be combined") << DoseOutput::Read;
    QTest::newRow("metric without weight")
        << "--gender m --height-cm 178 --age 25" << QByteArray()
        << QByteArray("missing: --weight-kg") << DoseOutput::Read;
    QTest::newRow("metric number with a comma")
        << "--gender m --height-cm 178,5 --weight-kg 80 --age 25" << QByteArray()
        << QByteArray("--height-cm \"178,5\"") << DoseOutput::Read;
    QTest::newRow("roster with a metric option") << "--csv - --weight-kg 80" << QByteArray()
                                                 << QByteArray("--weight-kg") << DoseOutput::Read;
    QTest::newRow("check without a roster")
        << participant + " --check" << QByteArray() << QByteArray("--check") << DoseOutput::Read;
    QTest::newRow("spreadsheet-safe without a roster")
        << participant + " --spreadsheet-safe" << QByteArray() << QByteArray("--spreadsheet-safe")
        << DoseOutput::Read;
    QTest::newRow("header mixing inches and kilograms")
        << "--csv -" << QByteArray("gender,height,weight_kg,age,bal,dd,proof,ratio\n")
        << QByteArray("both") << DoseOutput::Read;
    QTest::newRow("metric header without weight")
        << "--csv -" << QByteArray("gender,height_cm,age,bal,dd,proof,ratio\n")
        << QByteArray("no column weight_kg") << DoseOutput::Read;
    QTest::newRow("warning column already there, with --check")
        << "--csv - --check" << QByteArray(Header + ",warning\n") << QByteArray("warning")
        << DoseOutput::Read;
    QTest::newRow("plan column already there")
        << "--csv - --plan" << QByteArray(Header + ",Peak_BAL\n") << QByteArray("peak_bal")
        << DoseOutput::Read;
    QTest::newRow("no portions") << participant + " --plan --portions 0" << QByteArray()
                                 << QByteArray("--portions \"0\"") << DoseOutput::Read;
    QTest::newRow("thirteen portions") << participant + " --plan --portions 13" << QByteArray()
                                       << QByteArray("from 1 to 12") << DoseOutput::Read;
    QTest::newRow("half a portion") << participant + " --plan --portions 2.5" << QByteArray()
                                    << QByteArray("--portions \"2.5\"") << DoseOutput::Read;
    QTest::newRow("release level 0")
        << participant + " --plan --release 0" << QByteArray()
        << QByteArray("--release \"0\" is not a number above 0") << DoseOutput::Read;
    QTest::newRow("release level with a comma")
        << participant + " --plan --release 0,02" << QByteArray() << QByteArray("\"0,02\"")
        << DoseOutput::Read;
    QTest::newRow("portions without a plan") << participant + " --portions 4" << QByteArray()
                                             << QByteArray("add --plan") << DoseOutput::Read;
    QTest::newRow("band without a plan")
        << participant + " --band" << QByteArray() << QByteArray("--band belongs to a session plan")
        << DoseOutput::Read;
    QTest::newRow("roster with portions")
        << "--csv - --plan --portions 4" << QByteArray(Header + "\n") << QByteArray("roster")
        << DoseOutput::Read;
    QTest::newRow("readings out of order")
        << participant + " --plan --reading 85=0.06 --reading 70=0.05" << QByteArray()
        << QByteArray("--reading \"70=0.05\" is earlier") << DoseOutput::Read;
    QTest::newRow("reading without a level") << participant + " --plan --reading 70" << QByteArray()
                                             << QByteArray("--reading \"70\"") << DoseOutput::Read;
    QTest::newRow("reading at half a minute")
        << participant + " --plan --reading 70.5=0.06" << QByteArray()
        << QByteArray("is not MIN=LEVEL") << DoseOutput::Read;
    QTest::newRow("reading without a plan") << participant + " --reading 70=0.06" << QByteArray()
                                            << QByteArray("add --plan") << DoseOutput::Read;
    QTest::newRow("served without a plan") << participant + " --served 1=0" << QByteArray()
                                           << QByteArray("add --plan") << DoseOutput::Read;
    QTest::newRow("served without its minute")
        << participant + " --plan --served 1" << QByteArray()
        << QByteArray("--served \"1\" is not N=MIN") << DoseOutput::Read;
    QTest::newRow("schedule without --now")
        << participant + " --plan --schedule" << QByteArray()
        << QByteArray("--schedule and --now MIN go together") << DoseOutput::Read;
    QTest::newRow("now at half a minute")
        << participant + " --plan --schedule --now 60.5" << QByteArray()
        << QByteArray("--now \"60.5\" is not whole minutes") << DoseOutput::Read;
    QTest::newRow("a portion served twice")
        << participant + " --plan --served 1=0 --served 1=5" << QByteArray()
        << QByteArray("ERROR: Portion 1 is already marked served") << DoseOutput::Read;
    QTest::newRow("schedule for a roster") << "--csv - --plan --schedule --now 60" << QByteArray()
                                           << QByteArray("roster") << DoseOutput::Read;
    QTest::newRow("booster without a plan") << participant + " --booster-dd 10" << QByteArray()
                                            << QByteArray("add --plan") << DoseOutput::Read;
    QTest::newRow("reading below 0")
        << participant + " --plan --reading 70=-0.01" << QByteArray()
        << QByteArray("ERROR: Reading \"-0.01\" is below 0. Type the level the instrument shows.")
        << DoseOutput::Read;
    // The session refuses the period before it judges the booster: for a placebo too.
    const QByteArray period = "ERROR: The booster's drinking period \"%1\" is not a whole number "
                              "of minutes from 1 to 120.";
    QTest::newRow("booster over 0 minutes")
        << participant + " --plan --placebo --booster-dd 0" << QByteArray()
        << QByteArray(period).replace("%1", "0") << DoseOutput::Read;
    QTest::newRow("booster over 121 minutes")
        << participant + " --plan --reading 70=0.06 --booster-dd 121" << QByteArray()
        << QByteArray(period).replace("%1", "121") << DoseOutput::Read;
    QTest::newRow("booster over half a minute")
        << participant + " --plan --booster-dd 10.5 --booster-served 110" << QByteArray()
        << QByteArray(period).replace("%1", "10.5") << DoseOutput::Read;
    QTest::newRow("booster served without its period")
        << participant + " --plan --booster-served 110" << QByteArray()
        << QByteArray("--booster-served belongs to a booster: add --booster-dd")
        << DoseOutput::Read;
    QTest::newRow("booster served before the start")
        << participant + " --plan --booster-dd 10 --booster-served -5" << QByteArray()
        << QByteArray("--booster-served \"-5\"") << DoseOutput::Read;
    QTest::newRow("booster period with a comma")
        << participant + " --plan --booster-dd 7,5" << QByteArray()
        << QByteArray("--booster-dd \"7,5\"") << DoseOutput::Read;
    QTest::newRow("six readings to release")
        << participant + " --plan --release-confirm 6" << QByteArray()
        << QByteArray("--release-confirm \"6\" is not a whole number from 1 to 5")
        << DoseOutput::Read;
    QTest::newRow("readings 0 minutes apart")
        << participant + " --plan --release-apart 0" << QByteArray()
        << QByteArray("--release-apart \"0\" is not a whole number of minutes from 1 to 60")
        << DoseOutput::Read;
    QTest::newRow("readings to release without a plan")
        << participant + " --release-confirm 2" << QByteArray()
        << QByteArray("--release-confirm belongs to a session plan") << DoseOutput::Read;
    QTest::newRow("float without a placebo") << participant + " --plan --float 5" << QByteArray()
                                             << QByteArray("add --placebo") << DoseOutput::Read;
    QTest::newRow("float above the smallest portion")
        << participant + " --plan --placebo --float 159" << QByteArray()
        << QByteArray("smallest portion, 158 ml") << DoseOutput::Read;
    QTest::newRow("half a millilitre of float")
        << participant + " --plan --placebo --float 2.5" << QByteArray()
        << QByteArray("whole number") << DoseOutput::Read;
    QTest::newRow("reading SD of zero")
        << participant + " --plan --reading-sd 0" << QByteArray()
        << QByteArray("--reading-sd \"0\" is not a number above 0") << DoseOutput::Read;
    QTest::newRow("reading SD with a comma")
        << participant + " --plan --reading-sd 0,004" << QByteArray()
        << QByteArray("--reading-sd \"0,004\"") << DoseOutput::Read;
    QTest::newRow("reading SD without a plan")
        << participant + " --reading-sd 0.004" << QByteArray() << QByteArray("add --plan")
        << DoseOutput::Read;
    QTest::newRow("roster with readings")
        << "--csv - --plan --reading 70=0.06" << QByteArray(Header + "\n")
        << QByteArray("--reading applies to one participant") << DoseOutput::Read;

    // A write that fails is an error, whatever was asked; rosters and the rest share the check.
    const QByteArray roster = Header + "\nm,70,160,25,0.08,40,200,6\n";
    const QByteArray cannotWrite = "cannot write the output";
    QTest::newRow("one participant, disk full")
        << participant << QByteArray() << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("session plan, disk full")
        << participant + " --plan" << QByteArray() << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("intermediates, disk full")
        << participant + " --explain" << QByteArray() << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("help, disk full")
        << "--help" << QByteArray() << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("version, disk full")
        << "--version" << QByteArray() << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("roster, disk full")
        << "--csv -" << roster << cannotWrite << DoseOutput::FullDisk;
    QTest::newRow("one participant, output closed")
        << participant << QByteArray() << cannotWrite << DoseOutput::Closed;
    QTest::newRow("version, output closed")
        << "--version" << QByteArray() << cannotWrite << DoseOutput::Closed;
    QTest::newRow("roster, output closed")
        << "--csv -" << roster << cannotWrite << DoseOutput::Closed;
    QTest::newRow("protocol that cannot be read")
        << participant + " --protocol /no/such/arm.json" << QByteArray()
        << QByteArray("--protocol \"/no/such/arm.json\" cannot be used") << DoseOutput::Read;
    QTest::newRow("records to check, none given")
        << "--check-record" << QByteArray()
        << QByteArray("--check-record needs the session records") << DoseOutput::Read;
    QTest::newRow("records to check beside a participant")
        << participant + " --check-record r.csv" << QByteArray()
        << QByteArray("cannot be combined with --gender") << DoseOutput::Read;
}

void TestDoseCli::usageErrors()
{
    QFETCH(QString, commandLine);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, errorMentions);
    QFETCH(DoseOutput, outputTo);
    const DoseRun run =
        runDose(commandLine.isEmpty() ? QStringList() : commandLine.split(QLatin1Char(' ')), input,
                {}, outputTo);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.output, QByteArray());
    QVERIFY2(run.errors.startsWith("ERROR: "), run.errors.constData());
    QVERIFY2(run.errors.contains(errorMentions), run.errors.constData());
}

void TestDoseCli::roster_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("worked examples")
        << Header + "\n"
                    "male,70,160,25,0.08,40,200,6\n"
                    "female,65,130,25,0.08,40,200,6\n"
                    "male,70,160,25,0.08,40,80,3\n"
                    "male,70,160,25,0.1,60,100,4\n"
                    "female,0,0,0,0.08,40,200,6\n"
        << ResultHeader + "\n"
                          "male,70,160,25,0.08,40,200,6,68,408,476,\n"
                          "female,65,130,25,0.08,40,200,6,47,282,329,\n"
                          "male,70,160,25,0.08,40,80,3,169,507,676,\n"
                          "male,70,160,25,0.1,60,100,4,170,680,850,\n"
                          "female,0,0,0,0.08,40,200,6,-3,-18,-21,\n"
        << 0;
    QTest::newRow("columns in another order, extra columns carried through")
        << QByteArray("Ratio,proof,session,dd,bal,AGE,weight,height,id,gender\n"
                      "6,200,S1,40,0.08,25,160,70,P01,m\n")
        << QByteArray("Ratio,proof,session,dd,bal,AGE,weight,height,id,gender,alcohol_ml,mixer_ml,"
                      "total_ml,error\n"
                      "6,200,S1,40,0.08,25,160,70,P01,m,68,408,476,\n")
        << 0;
    QTest::newRow("quoting in and out")
        << QByteArray(
               "id,note," + Header +
               "\n"
               "\"Smith, J\",\"said \"\"fine\"\"\nthen left\",m,\"70\",160,25,0.08,40,200,6\n")
        << QByteArray("id,note," + ResultHeader +
                      "\n"
                      "\"Smith, J\",\"said \"\"fine\"\"\nthen left\",m,70,160,25,0.08,40,200,6,68,"
                      "408,476,\n")
        << 0;
    QTest::newRow("carriage return inside an unquoted field is quoted on the way out")
        << "id," + Header + "\r\nA\rB,m,70,160,25,0.08,40,200,6\r\n"
        << "id," + ResultHeader + "\r\n\"A\rB\",m,70,160,25,0.08,40,200,6,68,408,476,\r\n"
        << 0;
    QTest::newRow("CRLF line ends are kept")
        << Header + "\r\nm,70,160,25,0.08,40,200,6\r\nf,65,130,25,0.08,40,200,6\r\n"
        << ResultHeader + "\r\nm,70,160,25,0.08,40,200,6,68,408,476,\r\n"
                          "f,65,130,25,0.08,40,200,6,47,282,329,\r\n"
        << 0;
    QTest::newRow("last line without a line end")
        << Header + "\nm,70,160,25,0.08,40,200,6"
        << ResultHeader + "\nm,70,160,25,0.08,40,200,6,68,408,476,\n"
        << 0;
    QTest::newRow("empty lines are skipped")
        << "\n" + Header + "\n\nm,70,160,25,0.08,40,200,6\n\n\nf,65,130,25,0.08,40,200,6\n\n"
        << ResultHeader + "\nm,70,160,25,0.08,40,200,6,68,408,476,\n"
                          "f,65,130,25,0.08,40,200,6,47,282,329,\n"
        << 0;
    QTest::newRow("UTF-8 byte-order mark")
        << "\xEF\xBB\xBF" + Header + ",name\nm,70,160,25,0.08,40,200,6,J\xC3\xBCrgen\n"
        << ResultHeader.left(Header.size()) + ",name" + ResultHeader.mid(Header.size()) +
               "\nm,70,160,25,0.08,40,200,6,J\xC3\xBCrgen,68,408,476,\n"
        << 0;
    QTest::newRow("header only") << Header + "\n" << ResultHeader + "\n" << 0;
    QTest::newRow("centimetres and kilograms")
        << QByteArray("id,gender,Height_cm,weight_kg,age,bal,dd,proof,ratio\n"
                      "1,m,177.8004,72.57552,25,0.08,40,200,6\n"
                      "2,m,178,80,25,0.08,40,200,6\n"
                      "3,f,,80,25,0.08,40,200,6\n")
        << QByteArray("id,gender,Height_cm,weight_kg,age,bal,dd,proof,ratio,alcohol_ml,mixer_ml,"
                      "total_ml,error\n"
                      "1,m,177.8004,72.57552,25,0.08,40,200,6,68,408,476,\n"
                      "2,m,178,80,25,0.08,40,200,6,71,426,497,\n"
                      "3,f,,80,25,0.08,40,200,6,,,,height_cm is empty\n")
        << 1;
    QTest::newRow("a warning column of the roster's own is carried through")
        << Header + ",warning\nm,178,160,25,0.08,40,200,6,typed as cm?\n"
        << Header + ",warning,alcohol_ml,mixer_ml,total_ml,error\n"
                    "m,178,160,25,0.08,40,200,6,typed as cm?,113,678,791,\n"
        << 0;
    QTest::newRow("gender spellings and blanks")
        << Header + "\nMale,70,160,25,0.08,40,200,6\n 1 ,70,160,25,0.08,40,200,6\n"
                    "FEMALE,65,130,25,0.08,40,200,6\nf,65, 130 ,25,0.08,40,200,6\n"
        << ResultHeader + "\nMale,70,160,25,0.08,40,200,6,68,408,476,\n"
                          " 1 ,70,160,25,0.08,40,200,6,68,408,476,\n"
                          "FEMALE,65,130,25,0.08,40,200,6,47,282,329,\n"
                          "f,65, 130 ,25,0.08,40,200,6,47,282,329,\n"
        << 0;
    QTest::newRow("bad rows keep their place")
        << "id," + Header +
               "\n"
               "1,m,70,160,25,0.08,40,200,6\n"
               "2,m,70,abc,25,0.08,40,200,6\n"
               "3,,70,160,25,0.08,40,200,6\n"
               "4,woman,70,160,25,0.08,40,200,6\n"
               "5,f,65,130,25,0.08,40,0,6\n"
               "6,m,70,\"1,600\",25,\"0,08\",40,200,6\n"
               "7,m,70,160,25,,40,200,6\n"
               "8,m,1e39,160,25,0.08,40,200,6\n"
               "9,f,70,1e30,25,0.08,40,200,6\n"
               "10,f,65,130,25,0.08,40,200,1000\n"
               "11,f,65,130\n"
               "12,f,65,130,25,0.08,40,200,6,,\n"
               "13,f,65,130,25,0.08,40,200,6\n"
        << "id," + ResultHeader +
               "\n"
               "1,m,70,160,25,0.08,40,200,6,68,408,476,\n"
               "2,m,70,abc,25,0.08,40,200,6,,,,weight is not a number\n"
               "3,,70,160,25,0.08,40,200,6,,,,no gender\n"
               "4,woman,70,160,25,0.08,40,200,6,,,,unknown gender\n"
               "5,f,65,130,25,0.08,40,0,6,,,,proof is 0 (division by zero)\n"
               "6,m,70,\"1,600\",25,\"0,08\",40,200,6,,,,"
               "weight is not a number; bal is not a number\n"
               "7,m,70,160,25,,40,200,6,,,,bal is empty\n"
               "8,m,1e39,160,25,0.08,40,200,6,,,,"
               "height is too large for a 32-bit float\n"
               "9,f,70,1e30,25,0.08,40,200,6,,,,"
               "dose out of range: alcohol volume beyond -32768 to 32767 ml\n"
               "10,f,65,130,25,0.08,40,200,1000,,,,"
               "dose out of range: mixer volume beyond -32768 to 32767 ml\n"
               "11,f,65,130,,,,,,,,,row has 4 fields but the header has 9\n"
               "12,f,65,130,25,0.08,40,200,6,,,,row has 11 fields but the "
               "header has 9; the extra fields are left out\n"
               "13,f,65,130,25,0.08,40,200,6,47,282,329,\n"
        << 1;
}

void TestDoseCli::roster()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);
    const DoseRun run = runDose(arguments("--csv -"), input);
    QCOMPARE(run.output, expected);
    QCOMPARE(run.exitCode, exitCode);
    // An error is reported exactly when the exit status says so; warnings come on their own.
    QCOMPARE(run.errors.contains("ERROR: "), exitCode != 0);
}

// With --check a warning column comes just before error; rows without volumes have none. With
// --spreadsheet-safe no cell, carried or computed, reads as a formula, and numbers stay numbers.
void TestDoseCli::rosterOptions_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");
    const QByteArray checked = Header + ",alcohol_ml,mixer_ml,total_ml,warning,error\n";
    QTest::newRow("check, inches and pounds")
        << "--check"
        << Header + "\n"
                    "m,70,160,25,0.08,40,200,6\n"
                    "m,178,160,25,0.08,40,200,6\n"
                    "f,65,130,15,0.08,300,200,6\n"
                    "f,178,130,25,0.08,40,0,6\n"
        << checked + "m,70,160,25,0.08,40,200,6,68,408,476,,\n"
                     "m,178,160,25,0.08,40,200,6,113,678,791,height 178 in is outside "
                     "48\u201390 in; ethanol 1.22 g/kg is above 1.2 g/kg,\n"
                     "f,65,130,15,0.08,300,200,6,78,468,546,age 15 years is outside "
                     "18\u2013100 years; drinking period 300 minutes is outside 5\u2013240 "
                     "minutes,\n"
                     "f,178,130,25,0.08,40,0,6,,,,,proof is 0 (division by zero)\n"
        << 1;
    QTest::newRow("check, centimetres and kilograms, CRLF")
        << "--check"
        << QByteArray("weight_kg,height_cm,gender,age,bal,dd,proof,ratio\r\n"
                      "80,178,m,25,0.08,40,200,6\r\n"
                      "80,70,m,25,0,40,200,6\r\n")
        << QByteArray("weight_kg,height_cm,gender,age,bal,dd,proof,ratio,alcohol_ml,mixer_ml,"
                      "total_ml,warning,error\r\n"
                      "80,178,m,25,0.08,40,200,6,71,426,497,,\r\n"
                      "80,70,m,25,0,40,200,6,10,60,70,height 70 cm is outside 122\u2013229 cm; "
                      "target BAL 0 g/100 ml is not above 0 g/100 ml,\r\n")
        << 0;
    QTest::newRow("spreadsheet-safe")
        << "--spreadsheet-safe"
        << QByteArray("=id,note," + Header +
                      "\n"
                      "=HYPERLINK(\"http://x\"),+cmd|' /C calc'!A0,m,70,160,25,0.08,40,200,6\n"
                      "@SUM(A1),-5,m,70,160,25,0.08,40,200,-6\n"
                      "-x,\"\tTab\",m,70,160,25,0.08,40,200,6\n"
                      "P4,\"\rCR\",m,70,160,25,0.08,40,-200,6\n")
        << QByteArray("'=id,note," + Header +
                      ",alcohol_ml,mixer_ml,total_ml,error\n"
                      "\"'=HYPERLINK(\"\"http://x\"\")\",'+cmd|' /C calc'!A0,m,70,160,25,0.08,40,"
                      "200,6,68,408,476,\n"
                      "'@SUM(A1),-5,m,70,160,25,0.08,40,200,-6,68,-408,-340,\n"
                      "'-x,'\tTab,m,70,160,25,0.08,40,200,6,68,408,476,\n"
                      "P4,\"'\rCR\",m,70,160,25,0.08,40,-200,6,-68,-408,-476,\n")
        << 0;
}

void TestDoseCli::rosterOptions()
{
    QFETCH(QString, options);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);
    const DoseRun run =
        runDose(QStringLiteral("--csv - %1").arg(options).split(QLatin1Char(' ')), input);
    QCOMPARE(QString::fromUtf8(run.output), QString::fromUtf8(expected));
    QCOMPARE(run.exitCode, exitCode);
}

void TestDoseCli::rosterWithPlan()
{
    const DoseRun run =
        runDose(arguments("--csv - --plan --release 0.05"), "id," + Header +
                                                                "\n"
                                                                "1,m,70,160,25,0.08,40,200,6\n"
                                                                "2,m,70,160,25,0,40,200,6\n"
                                                                "3,f,65,130,25,0.08,40,0,6\n"
                                                                "4,f,65,130,25,0.08,40,200,6\n");
    // One release level for the whole roster; a row without a plan keeps its volumes.
    QCOMPARE(run.output, "id," + Header +
                             ",alcohol_ml,mixer_ml,total_ml,peak_bal,peak_after_min,"
                             "release_after_min,zero_after_min,error\n"
                             "1,m,70,160,25,0.08,40,200,6,68,408,476,0.0807,70,193,393,\n"
                             "2,m,70,160,25,0,40,200,6,12,72,84,,,,,"
                             "no plan: expected peak BAL not above 0\n"
                             "3,f,65,130,25,0.08,40,0,6,,,,,,,,proof is 0 (division by zero)\n"
                             "4,f,65,130,25,0.08,40,200,6,47,282,329,0.0807,70,193,393,\n");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains("2 of 4 rows"), run.errors.constData());

    // The band's columns follow the plan's. A body water of a few millionths of a litre spreads
    // the band so wide that its release band is beyond a clock: the row keeps its plan.
    const DoseRun banded = runDose(arguments("--csv - --plan --band"),
                                   "id,gender,height_cm,weight_kg,age,bal,dd,proof,ratio\n"
                                   "1,m,177.8004,72.57552,25,0.08,40,200,6\n"
                                   "2,f,19.61647,0,25,0.08,40,0.00001,6\n");
    QCOMPARE(banded.output, "id,gender,height_cm,weight_kg,age,bal,dd,proof,ratio,alcohol_ml,"
                            "mixer_ml,total_ml,peak_bal,peak_after_min,release_after_min,"
                            "zero_after_min,peak_band_low,peak_band_high,release_band_from_min,"
                            "release_band_to_min,error\n"
                            "1,m,177.8004,72.57552,25,0.08,40,200,6,68,408,476,0.0807,70,313,393,"
                            "0.0585,0.1029,211,455,\n"
                            "2,f,19.61647,0,25,0.08,40,0.00001,6,21,126,147,0.0797,70,309,389,,,,,"
                            "no band: release band too far in the future\n");
    QCOMPARE(banded.exitCode, 1);

    // With --check too, the plan's columns come first, after the volumes.
    const DoseRun checked =
        runDose(arguments("--csv - --check --plan"), Header + "\nm,178,160,25,0.08,40,200,6\n");
    QCOMPARE(checked.output, Header + ",alcohol_ml,mixer_ml,total_ml,peak_bal,peak_after_min,"
                                      "release_after_min,zero_after_min,warning,error\n"
                                      "m,178,160,25,0.08,40,200,6,113,678,791,0.0798,70,309,389,"
                                      "height 178 in is outside 48\u201390 in; ethanol 1.22 "
                                      "g/kg is above 1.2 g/kg,\n");
}

void TestDoseCli::rosterFromFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A name with a blank and a non-ASCII letter must reach the file system unchanged.
    const QString path = folder.filePath(QStringLiteral("study day \u00e9.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Header + "\nf,65,130,25,0.08,40,200,6\n");
    file.close();
    const DoseRun run = runDose({QStringLiteral("--csv"), path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.output, ResultHeader + "\nf,65,130,25,0.08,40,200,6,47,282,329,\n");
}

// A protocol gives what its options would give; an option given beside it wins; a dose over one
// of its limits is computed all the same, with a warning and its own exit status.
// A protocol's schedule: readings every so many minutes, and during drinking too.
void TestDoseCli::scheduleByTheProtocol_data()
{
    QTest::addColumn<QString>("schedule"); // the protocol's "schedule" object
    QTest::addColumn<QString>("session");
    QTest::addColumn<QByteArray>("due"); // the last lines
    QTest::newRow("every 10 minutes")
        << R"({"readingEveryMinutes": "10"})"
        << "--served 1=0 --served 2=13 --served 3=27 --reading 55=0.07 --schedule --now 60"
        << QByteArray("due reading at_min 65\nnext_due_at_min 65\noverdue 0\n");
    QTest::newRow("during drinking")
        << R"({"readingsDuringDrinking": true})"
        << "--served 1=0 --schedule --now 20"
        << QByteArray("due portion 2 at_min 13\ndue reading at_min 15\ndue portion 3 at_min 27\n"
                      "next_due_at_min 13\noverdue 2\n");
}

void TestDoseCli::scheduleByTheProtocol()
{
    QFETCH(QString, schedule);
    QFETCH(QString, session);
    QFETCH(QByteArray, due);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("arm.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"name": "Arm", "target": {"value": "0.08", "unit": "g/100ml"},
        "drinkingPeriodMinutes": "40", "proof": "200", "mixerRatio": "6", "portions": "3",
        "releaseLevel": "0.02", "schedule": )" +
               schedule.toUtf8() + "}");
    file.close();
    const DoseRun run =
        runDose(QStringLiteral("--gender male --height 70 --weight 160 --age 25 --plan --protocol")
                    .split(u' ') +
                QStringList{path} + session.split(u' '));
    QCOMPARE(QString::fromUtf8(run.errors), QString());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.output.endsWith(due), run.output.constData());
}

void TestDoseCli::protocolOverrides_data()
{
    QTest::addColumn<QString>("withProtocol"); // and --protocol FILE
    QTest::addColumn<QString>("sameAs");       // the same without it
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("warning"); // on standard error, with the protocol only

    const QString armA = QStringLiteral("--level-unit g/210L --target 0.08 --dd 15 --proof 80 "
                                        "--ratio 3");
    const QString participant = QStringLiteral("--gender m --height 70 --weight 160 --age 25");
    QTest::newRow("its parameters and plan")
        << participant + " --plan"
        << participant + " " + armA + " --plan --portions 3 --release 0.02" << 0 << QByteArray();
    QTest::newRow("an option overrides it")
        << participant + " --dd 20 --plan --portions 2"
        << "--gender m --height 70 --weight 160 --age 25 --level-unit g/210L --target 0.08 --dd 20 "
           "--proof 80 --ratio 3 --plan --portions 2 --release 0.02"
        << 0 << QByteArray();
    QTest::newRow("--bal overrides its target")
        << participant + " --bal 0.06"
        << participant + " --bal 0.06 --dd 15 --proof 80 --ratio 3 --level-unit g/210L" << 0
        << QByteArray();
    QTest::newRow("another unit of levels overrides its own")
        << participant + " --level-unit mg/L --breath-ratio 2000 --target 0.4"
        << participant + " --level-unit mg/L --breath-ratio 2000 --target 0.4 --dd 15 --proof 80 "
                         "--ratio 3"
        << 0 << QByteArray();
    QTest::newRow("over its limit of ethanol per kg")
        << "--gender m --height 70 --weight 100 --age 25 --target 0.15"
        << "--gender m --height 70 --weight 100 --age 25 --level-unit g/210L --target 0.15 --dd 15 "
           "--proof 80 --ratio 3"
        << 3 << QByteArray("WARNING: over the protocol's limit: ");
    // 158 ml is 0.68 g/kg; with the booster's 104 ml it is 1.14 g/kg, over the protocol's 1.0.
    const QString readings =
        QStringLiteral(" --plan --reading 70=0.05 --reading 85=0.04 --reading 100=0.03 "
                       "--booster-dd 10");
    QTest::newRow("the booster takes the session over its limit")
        << participant + readings << participant + " " + armA + readings << 3
        << QByteArray("WARNING: with the booster: over the protocol's limit: 1.14 g ethanol per "
                      "kg (limit 1.00)\n");
}

void TestDoseCli::protocolOverrides()
{
    QFETCH(QString, withProtocol);
    QFETCH(QString, sameAs);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, warning);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("arm A.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"name": "Arm A", "target": {"value": "0.08", "unit": "g/210L"},
        "drinkingPeriodMinutes": "15", "proof": "80", "mixerRatio": "3", "portions": "3",
        "releaseLevel": "0.02", "limits": {"ethanolGramsPerKg": "1.0"}})");
    file.close();

    const DoseRun run = runDose(withProtocol.split(u' ') + QStringList{"--protocol", path});
    const DoseRun plain = runDose(sameAs.split(u' '));
    QCOMPARE(plain.exitCode, 0);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.output, plain.output);
    QCOMPARE(run.errors.startsWith(plain.errors + warning), true);
    QCOMPARE(run.errors == plain.errors, warning.isEmpty());

    // A roster may leave the dosing columns to the protocol, and names a limit passed.
    const DoseRun roster = runDose({"--csv", "-", "--protocol", path},
                                   "id,gender,height,weight,age\n1,m,70,160,25\n2,m,178,160,25\n");
    QCOMPARE(roster.exitCode, 3);
    const QList<QByteArray> rows = roster.output.split('\n');
    QCOMPARE(rows[0], "id,gender,height,weight,age,alcohol_ml,mixer_ml,total_ml,warning,error");
    QCOMPARE(rows[1], "1,m,70,160,25,158,474,632,,");
    QVERIFY2(rows[2].endsWith("in; over the protocol's limit: 1.15 g ethanol per kg (limit 1.00),"),
             rows[2].constData());
}

// One line for each record, its fields separated by tabs: the file, its status, its session
// code, its entries and its corrections; exit status 0 only when every record is ok.
void TestDoseCli::checkRecords_data()
{
    QTest::addColumn<QStringList>("records"); // ReferenceFiles::bytes of each
    QTest::addColumn<QStringList>("lines");   // after the file's name
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("errors"); // part of what standard error says
    QTest::addColumn<bool>("inFolder");     // given as the folder that holds them, else one by one

    QTest::newRow("a record as written")
        << QStringList{"v2-alcohol.csv"} << QStringList{"ok\tP-017\t18\t4"} << 0 << QByteArray()
        << false;
    QTest::newRow("every record as written")
        << QStringList{"v2-alcohol.csv", "v2-placebo.csv", "v2-breath.csv"}
        << QStringList{"ok\tP-017\t18\t4", "ok\tP-018\t9\t0", "ok\tP-019\t11\t0"} << 0
        << QByteArray() << false;
    QTest::newRow("a version-1 record")
        << QStringList{"v2-placebo.csv", "v1-alcohol.csv"}
        << QStringList{"ok\tP-018\t9\t0", "unverified\tP-017\t9\t0"} << 1 << QByteArray() << false;
    QTest::newRow("a folder: a line for each record found in it, as a study's tables find them")
        << QStringList{"v2-placebo.csv", "v1-alcohol.csv"}
        << QStringList{"ok\tP-018\t9\t0", "unverified\tP-017\t9\t0"} << 1 << QByteArray() << true;
    QTest::newRow("a record cut short")
        << QStringList{"cut:v2-alcohol.csv"} << QStringList{"cut\tP-017\t18\t4"} << 1
        << QByteArray("WARNING: ") << false;
    QTest::newRow("a record changed")
        << QStringList{"changed:v2-alcohol.csv"} << QStringList{"changed\tP-017\t18\t4"} << 1
        << QByteArray("changed outside Pourwise") << false;
    QTest::newRow("a dose that differs")
        << QStringList{"older:v1-alcohol.csv"} << QStringList{"dose differs\tP-017\t9\t0"} << 1
        << QByteArray() << false;
    QTest::newRow("a file that is no record")
        << QStringList{"garbage:v2-alcohol.csv"} << QStringList{"unreadable\t-\t-\t-"} << 1
        << QByteArray("ERROR: ") << false;
    // A terminal never gets the escape sequences a file holds, only their escapes.
    QTest::newRow("a record whose reading is an escape sequence")
        << QStringList{"escape:v2-alcohol.csv"} << QStringList{"unreadable\t-\t-\t-"} << 1
        << QByteArray("level \"\\x1b[2J\\x1b]0;owned\\x07\" is not a number") << false;
    QTest::newRow("a blank line after the end row")
        << QStringList{"blank:v2-alcohol.csv"} << QStringList{"changed\tP-017\t18\t4"} << 1
        << QByteArray("changed after its end row") << false;
}

void TestDoseCli::checkRecords()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, lines);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, errors);
    QFETCH(bool, inFolder);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QStringList paths;
    QByteArray expected;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QByteArray bytes = ReferenceFiles::bytes(records[i]);
        QVERIFY2(!bytes.isEmpty(), qPrintable(records[i]));
        paths << folder.filePath(
            QStringLiteral("%1-%2").arg(i).arg(ReferenceFiles::fileOf(records[i])));
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        expected += (paths.last() + QLatin1Char('\t') + lines[i] + QLatin1Char('\n')).toUtf8();
    }
    const DoseRun run = runDose(QStringList{QStringLiteral("--check-record")} +
                                (inFolder ? QStringList{folder.path()} : paths));
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.output, expected);
    QCOMPARE(run.errors.isEmpty(), errors.isEmpty());
    QVERIFY2(run.errors.contains(errors), run.errors.constData());
    QVERIFY2(!run.errors.contains('\x1b'), run.errors.constData());
}

void TestDoseCli::numbersIgnoreTheLocale()
{
    // In a German locale the window reads "0,08"; files and command lines keep "." regardless.
    const QStringList german = {QStringLiteral("LC_ALL=de_DE.UTF-8"),
                                QStringLiteral("LANG=de_DE.UTF-8")};
    const DoseRun one =
        runDose(arguments("--gender m --height 70.0 --weight 160 --age 25 --bal 0.1 "
                          "--dd 60 --proof 100 --ratio 4 --explain"),
                {}, german);
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(namedValues(one.output).value("hours"), QByteArray("1"));
    QCOMPARE(namedValues(one.output).value("total_ml"), QByteArray("850"));
    QVERIFY(!one.output.contains(','));

    const DoseRun refused =
        runDose(arguments("--gender m --height 70 --weight 160 --age 25 --bal 0,1"), {}, german);
    QCOMPARE(refused.exitCode, 2);

    const DoseRun roster =
        runDose(arguments("--csv -"), Header + "\nm,70.5,160.25,25,0.08,40,200,6\n", german);
    QCOMPARE(roster.exitCode, 0);
    QVERIFY2(roster.output.contains("m,70.5,160.25,25,0.08,40,200,6,"), roster.output.constData());
}

void TestDoseCli::helpAndVersion()
{
    const DoseRun version = runDose({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.output, QByteArray(POURWISE_VERSION "\n"));

    for (const char *option : {"--help", "-h"}) {
        const DoseRun help = runDose({QString::fromLatin1(option)});
        QCOMPARE(help.exitCode, 0);
        for (const char *mentioned : {"--gender",
                                      "--height",
                                      "--weight",
                                      "--height-cm",
                                      "--weight-kg",
                                      "--age",
                                      "--bal",
                                      "--dd",
                                      "--proof",
                                      "--ratio",
                                      "--explain",
                                      "--csv",
                                      "--check",
                                      "height_cm,weight_kg",
                                      "WARNING: ",
                                      "Exit status",
                                      "--plan",
                                      "--portions",
                                      "--release",
                                      "peak_bal 0.0807",
                                      "release_after_min 313",
                                      "portion 1 at_min 0 alcohol_ml 23 mixer_ml 136 total_ml 159",
                                      "--band",
                                      "peak_band_low 0.0585",
                                      "release_band_to_min 455"})
            QVERIFY2(help.output.contains(mentioned), mentioned);
        // The session's examples are what the program prints, from their first line shown on.
        const QList<QPair<const char *, QByteArray>> examples = {
            {"--reading 70=0.06 --reading 85=0.057 --reading 100=0.054 --booster-dd 10 "
             "--booster-served 115",
             "reading 1 "},
            {"--reading 80=0.072 --reading 95=0.070 --reading 110=0.068 --reading 125=0.006",
             "reading 1 "},
            {"--reading 5=0.025 --reading 10=0.012 --reading 15=0.009 --reading 30=0.015 "
             "--reading 45=0.025 --reading 60=0.033",
             "observed_peak "}};
        for (const auto &[example, shownFrom] : examples) {
            const DoseRun session =
                runDose(arguments("--gender male --height 70 --weight 160 --age 25 --plan") +
                        arguments(example));
            QCOMPARE(session.exitCode, 0);
            const QByteArray shown = session.output.mid(session.output.indexOf(shownFrom));
            for (const QByteArray &line : shown.split('\n')) {
                if (!line.isEmpty())
                    QVERIFY2(help.output.contains("  " + line + "\n"), line.constData());
            }
        }
        // The ranges of the warnings, as the warnings write them.
        QVERIFY(help.output.contains("height 48\u201390 in"));
        QVERIFY(help.output.contains("target BAL above 0, at most 0.2 g/100 ml"));
    }
}

QTEST_GUILESS_MAIN(TestDoseCli)
#include "tst_dosecli.moc"
