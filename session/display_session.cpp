// The display session: every display change, its undo and its keep-or-revert question.
#include "session/display_session.h"

#include <vector>

#include "display/display_list.h"
#include "display/mode_switch.h"
#include "session/keep_or_revert.h"
#include "settings/settings.h"

// Right before every change: with KeepIconLayout on the present setup's icon
// layout is saved, and the new setup's comes back once the shell has settled.
static void PrepareIconLayout(DisplaySession *session)
{
    IconLayoutBeforeDisplayChange(&session->iconLayout);
}

static KeepOrRevert Question(const DisplaySession *session, int shownOn)
{
    return {shownOn, session->confirmSeconds ? session->confirmSeconds : KEEP_OR_REVERT_SECONDS, 0};
}

// Every display back into its mode before, last display first as Escape does.
static void PutModesBack(const ModeSnapshot *before, int count, DWORD flags)
{
    for (int i = count - 1; i >= 0; i--)
        ApplyModeSnapshot(before[i], i, flags);
}

static void RememberModes(DisplaySession *session, const ModeSnapshot *before, int count)
{
    CopyMemory(session->modesBefore, before, sizeof(session->modesBefore));
    session->modesBeforeCount = count;
    session->profileApplied = FALSE;
    session->changed = TRUE;
}

// Sets the new modes for the moment only, asks, then stores them (kept) or
// puts the old ones back; the platform's result.
static LONG TryModesThenAsk(DisplaySession *session, const ModeSnapshot *before, const ModeSnapshot *after,
                            int count, int shownOn, bool *kept)
{
    bool switched = false;
    for (int i = 0; i < count; i++) {
        if (SameMode(before[i], after[i]))
            continue;
        LONG result = ApplyModeSnapshot(after[i], i, 0);
        if (result != DISP_CHANGE_SUCCESSFUL) {
            if (switched)
                PutModesBack(before, count, 0);
            return result;
        }
        switched = true;
    }
    KeepOrRevert question = Question(session, shownOn);
    session->confirming = TRUE;
    *kept = AskKeepOrRevert(session->owner, &question);
    session->confirming = FALSE;
    if (!*kept) {
        // Going back is a display change like any other: the icons come back too.
        PrepareIconLayout(session);
        PutModesBack(before, count, 0);
        return DISP_CHANGE_SUCCESSFUL;
    }
    // Stored without setting the modes again; the first failure's code.
    LONG result = DISP_CHANGE_SUCCESSFUL;
    for (int i = 0; i < count; i++) {
        if (SameMode(before[i], after[i]))
            continue;
        LONG stored = ApplyModeSnapshot(after[i], i, CDS_UPDATEREGISTRY | CDS_NORESET);
        if (result == DISP_CHANGE_SUCCESSFUL)
            result = stored;
    }
    return result;
}

LONG SessionSwitchDisplay(DisplaySession *session, int display, const ModeSnapshot &mode, bool ask,
                          bool *kept)
{
    *kept = false;
    if (session->confirming)
        return DISP_CHANGE_FAILED;
    ModeSnapshot before[MAX_DISPLAYS] = {};
    int count = SnapshotCurrentModes(before);
    if (display < 0 || display >= count)
        return DISP_CHANGE_BADPARAM;
    PrepareIconLayout(session);
    LONG result;
    if (ask) {
        ModeSnapshot after[MAX_DISPLAYS];
        CopyMemory(after, before, sizeof(after));
        after[display] = mode;
        // Escape's undo belongs to an answered switch only.
        session->changed = FALSE;
        result = TryModesThenAsk(session, before, after, count, display, kept);
    } else {
        result = ApplyModeSnapshot(mode, display, CDS_UPDATEREGISTRY);
        *kept = result == DISP_CHANGE_SUCCESSFUL;
    }
    if (*kept)
        RememberModes(session, before, count);
    return result;
}

bool SessionApplyProfile(DisplaySession *session, const Profile &profile, ProfileApplyResult *result)
{
    *result = {};
    if (session->confirming)
        return false;
    Profile before;
    CaptureArrangement(&before);
    PrepareIconLayout(session);
    ApplyProfile(profile, result);
    if (result->applied == 0 || result->finalResult != DISP_CHANGE_SUCCESSFUL)
        return false;
    session->arrangementBefore = before;
    session->profileApplied = TRUE;
    session->changed = TRUE;
    return true;
}

bool SessionConfirmChange(DisplaySession *session)
{
    if (!ReadOptionNumberOr(OPT_CONFIRM_MODE_CHANGE, 1))
        return true;
    KeepOrRevert question = Question(session, 0);
    session->changed = FALSE;
    session->confirming = TRUE;
    bool kept = AskKeepOrRevert(session->owner, &question);
    session->confirming = FALSE;
    session->changed = TRUE;
    if (!kept) {
        SessionUndo(session);
        session->changed = FALSE;
    }
    return kept;
}

LONG SessionMakePrimary(DisplaySession *session, int display)
{
    if (session->confirming)
        return DISP_CHANGE_FAILED;
    std::vector<DisplayRecord> displays = ReadDisplays();
    if (display < 0 || display >= (int)displays.size())
        return DISP_CHANGE_BADPARAM;
    PrepareIconLayout(session);
    return MakePrimaryDisplay(displays, display);
}

bool SessionUndo(DisplaySession *session)
{
    if (!session->changed)
        return false;
    PrepareIconLayout(session);
    if (session->profileApplied) {
        ProfileApplyResult result;
        ApplyProfile(session->arrangementBefore, &result);
    } else {
        PutModesBack(session->modesBefore, session->modesBeforeCount, CDS_UPDATEREGISTRY);
    }
    return true;
}

void SessionForgetUndo(DisplaySession *session) { session->changed = FALSE; }

void SessionDisplayChanged(DisplaySession *session) { IconLayoutDisplayChanged(&session->iconLayout); }
