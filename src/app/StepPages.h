#pragma once

class CMainFrame;
class CTovanCommonBaseView;

// The factories of the three step pages, in page order. Each lives beside
// its page, so replacing a page touches only its own files.
CTovanCommonBaseView* CreateStepOnePage(CMainFrame* frame);
CTovanCommonBaseView* CreateStepTwoPage(CMainFrame* frame);
CTovanCommonBaseView* CreateStepThreePage(CMainFrame* frame);
