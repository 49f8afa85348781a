#!/usr/bin/env bash
# Registers the stand-in of the maker's port communication service in the Wine prefix: copies
# the built program to where the maker's installer puts it and registers it with the service
# manager (started on demand only, so no session waits for it). Does nothing when the program
# is not built yet or is already in place. Runs inside a display session (xvfb-session.sh), after
# the session has started Wine's own services; the registration is bounded in time.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
stage="${QK_STAGE_DIR:-$(dirname "$WINEPREFIX")/stage}"
program="PortCommunicationService.exe"
[ -f "$stage/$program" ] || exit 0
# Only into a prefix that wine-prefix.sh has finished; a half-made one is left alone.
[ -f "$QK_PREFIX_MARKER" ] || exit 0
folder="$WINEPREFIX/drive_c/Program Files/TARROW/portcommunicationservice"
if ! cmp -s "$stage/$program" "$folder/$program"; then
    mkdir -p "$folder"
    # A new file, not an overwrite: a service still running from it keeps its own copy.
    cp "$stage/$program" "$folder/$program.new" && mv -f "$folder/$program.new" "$folder/$program"
fi
# The registry file lags behind the server by a few seconds: registering twice is harmless.
if ! grep -q 'Services\\\\TARROW_Port_Communication_Service\]' "$WINEPREFIX/system.reg" 2>/dev/null; then
    timeout 120 wine "C:\\Program Files\\TARROW\\portcommunicationservice\\$program" /install \
        >/dev/null 2>&1 ||
        echo "setup: could not register the port communication service" >&2
fi
exit 0
