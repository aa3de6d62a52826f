#pragma once
// The CUPS client library, loaded at the first print. A run that never prints (most batch runs)
// does not pay for loading it and the twenty libraries it pulls in.

#include <cups/cups.h>

struct CupsLibrary {
  decltype(&::cupsServer) server;
  decltype(&::cupsSetServer) setServer;
  decltype(&::ippPort) port;
  decltype(&::cupsEncryption) encryption;
  decltype(&::httpConnect2) connect;
  decltype(&::httpError) error;
  decltype(&::httpGetFd) getFd;
  decltype(&::httpGetStatus) status;
  decltype(&::httpStatus) statusText;
  decltype(&::httpClose) close;
  decltype(&::cupsGetNamedDest) getNamedDest;
  decltype(&::cupsFreeDests) freeDests;
  decltype(&::cupsCopyDestInfo) copyDestInfo;
  decltype(&::cupsFindDestDefault) findDestDefault;
  decltype(&::ippGetResolution) getResolution;
  decltype(&::cupsFreeDestInfo) freeDestInfo;
  decltype(&::cupsAddOption) addOption;
  decltype(&::cupsCreateJob) createJob;
  decltype(&::cupsStartDocument) startDocument;
  decltype(&::cupsWriteRequestData) writeRequestData;
  decltype(&::cupsFinishDocument) finishDocument;
  decltype(&::cupsCancelJob2) cancelJob;
  decltype(&::cupsFreeOptions) freeOptions;
  decltype(&::cupsLastError) lastError;
  decltype(&::cupsLastErrorString) lastErrorString;
};

// The library's functions; throws Exception saying so when it cannot be loaded.
const CupsLibrary& Cups();
