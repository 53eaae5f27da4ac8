#pragma once
#include <QObject>

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void everyQueryNumber_data();
    void everyQueryNumber();
    void everyConfigurationLetter_data();
    void everyConfigurationLetter();
    void everyValveType_data();
    void everyValveType();
    void otherFamilies_data();
    void otherFamilies();
    void halvesRoundToEven_data();
    void halvesRoundToEven();
    void dataThatFitNoReportStayInsideTheText_data();
    void dataThatFitNoReportStayInsideTheText();
    void editReplyEnablesTheEditButton();
    void otherRepliesLeaveTheEditButtonAlone();
};
