#include "host/store/adif_columns.h"

namespace quillet::host {
namespace {

constexpr AdifColumn kColumns[] = {
    {"OMCALL", "CALL", AdifForm::Text},
    {"QSODATE", "QSO_DATE", AdifForm::Date},
    {"QSOTIME", "TIME_ON", AdifForm::TimeOfDay},
    {"QSOBAND", "BAND", AdifForm::Text},
    {"QSOMODE", "MODE", AdifForm::Text},
    {"QSORSTRCVD", "RST_RCVD", AdifForm::Text},
    {"QSORSTSEND", "RST_SENT", AdifForm::Text},
    {"OMNAME", "NAME", AdifForm::Text},
    {"OMQTH", "QTH", AdifForm::Text},
    {"CONTINENT", "CONT", AdifForm::Text},
    {"DXCCPFX", "DXCC_PREF", AdifForm::Text},
    {"MAINPFX", "PFX", AdifForm::Text},
    {"QSOFREQ", "FREQ", AdifForm::Number},
    {"ITUZONE", "ITUZ", AdifForm::Text},
    {"CQZONE", "CQZ", AdifForm::Text},
    {"GRIDSQUARE", "GRIDSQUARE", AdifForm::Text},
    {"QSLMANAGER", "QSL_VIA", AdifForm::Text},
    {"IOTA", "IOTA", AdifForm::Text},
    {"STATE", "STATE", AdifForm::Text},
    {"EQSLSENT", "EQSL_QSL_SENT", AdifForm::Boolean},
    {"EQSLRCVD", "EQSL_QSL_RCVD", AdifForm::Boolean},
    {"LOTWSENT", "LOTW_QSL_SENT", AdifForm::Boolean},
    {"LOTWRCVD", "LOTW_QSL_RCVD", AdifForm::Boolean},
    {"QSLSENT", "QSL_SENT", AdifForm::Boolean},
    {"QSLRECV", "QSL_RCVD", AdifForm::Boolean},
    {"QSLSTAT", "QSL_STATUS", AdifForm::Text},
    {"LOTWRCVDDATE", "LOTW_QSLRDATE", AdifForm::Date},
    {"QSLSENTDATE", "QSLSDATE", AdifForm::Date},
    {"QSLRECVDATE", "QSLRDATE", AdifForm::Date},
    {"CALLSIGN", "OPERATOR", AdifForm::Text},
    {"WPX", "WPX", AdifForm::Text},
    {"DXCC", "DXCC", AdifForm::Text},
    {"QSLINFO", "COMMENT", AdifForm::Text},
};

}  // namespace

std::span<const AdifColumn> AdifColumns() { return kColumns; }

}  // namespace quillet::host
