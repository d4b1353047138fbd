// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::ComPort1RxChar(int)
{}

void TMerrowMainForm::HandleReply(const QByteArray &)
{}

void TMerrowMainForm::StatusReceived(const QString &, const QString &, const QString &, const QString &, const QString &, const QString &)
{}

void TMerrowMainForm::ParamReceived(const QString &, const QString &)
{}

void TMerrowMainForm::PeiStatusReceived(const QString &, const QString &)
{}

void TMerrowMainForm::ShowSerialNumber(const QString &)
{}

void TMerrowMainForm::VersionReceived(const QString &, const QString &)
{}

void TMerrowMainForm::RequestVersion()
{}

void TMerrowMainForm::RequestSerial()
{}

void TMerrowMainForm::StartStatusReports()
{}

void TMerrowMainForm::StopStatusReports()
{}

void TMerrowMainForm::RequestParam(int)
{}

void TMerrowMainForm::SendParam(int)
{}

void TMerrowMainForm::SendAllParams()
{}

void TMerrowMainForm::RevertInterface()
{}

void TMerrowMainForm::StoreInInterface()
{}
