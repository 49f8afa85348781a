#!/usr/bin/env bash
# Inside a display session, before the utility starts: makes the simulator's printer reachable
# through a virtual serial port of the maker's port driver, COM7, so that the electronic
# journal can be tried: the port in the communication library's device map and port list, its
# entry in the Windows port registry (TarID, TarDM), the port driver's uninstall entry
# (version 8), and the port tool and the journal viewer where the utility looks for them. The
# port communication service is registered by the session itself (wine-services.sh).
# Usage: run-journal.sh STAGE   (prints the port name the simulator should journal)
set -uo pipefail
STAGE="$1"
PORT=COM7
data="$WINEPREFIX/drive_c/ProgramData/TARROW/QKComm"
mkdir -p "$data"

# The device map: written by the library with its default when missing; COM7 joins [COM].
map="$data/DeviceMap.ini"
if [ ! -s "$map" ]; then
    printf '[COM]\r\nCOM1=127.0.0.1:9100\r\n\r\n[LPT]\r\nLPT1=127.0.0.1:9100\r\n\r\n[USB]\r\n001=127.0.0.1:9100\r\n\r\n[NET]\r\n127.0.0.1=127.0.0.1:9100\r\n\r\n[BT]\r\nCOM5=127.0.0.1:9100\r\n\r\n[Features]\r\n2=1\r\n3=1\r\nWatermark=0\r\n\r\n[Commands]\r\n14,48=1\r\n6,10=1\r\n' > "$map"
fi
if ! grep -qi "^$PORT=" "$map"; then
    sed -i "s/^\[COM\]\r\?$/&\n$PORT=127.0.0.1:9100\r/" "$map"
fi

# The port list: the simulator's network port first (the default choice), COM7 after it.
ports="$data/Ports.ini"
if [ ! -s "$ports" ]; then
    printf '[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\nInterface=NET\r\nPortName=127.0.0.1\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n' > "$ports"
    echo "run: registered the simulator's port (Ethernet, 127.0.0.1) in $ports" >&2
fi
if ! grep -qi "^PortName=$PORT" "$ports"; then
    count=$(grep -c '^\[Port[0-9]' "$ports")
    next=$((count + 1))
    sed -i "s/^Count=[0-9]*/Count=$next/" "$ports"
    printf '[Port%s]\r\nInterface=COM\r\nPortName=%s\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n' \
        "$next" "$PORT" >> "$ports"
    echo "run: registered the simulator's virtual serial port $PORT in $ports" >&2
fi

# The port driver's registry: the port entry and its uninstall entry, once.
if ! grep -qi 'Enum\\\\Root\\\\PORTS\\\\QKR40SIM\\\\Device Parameters\]' "$WINEPREFIX/system.reg" 2>/dev/null; then
    reg="$(mktemp --suffix=.reg)"
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS\\QKR40SIM\\Device Parameters]\r\n"PortName"="%s"\r\n"TarID"="QK4A000001"\r\n"TarDM"=dword:00000000\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6F1D2A47-3B8C-4E95-A0D2-5C7B9E41F803}]\r\n"DisplayName"="TARROW Virtual Port Driver"\r\n"DisplayVersion"="8.0.0"\r\n"InstallLocation"="C:\\\\Program Files\\\\TARROW\\\\QKCOMUSB\\\\"\r\n' \
        "$PORT" > "$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
    rm -f "$reg"
    echo "run: entered $PORT in the Windows port registry (TarID QK4A000001) and the port driver 8.0.0" >&2
fi

# The port tool and the journal viewer where the maker's installers put them.
programs="$WINEPREFIX/drive_c/Program Files/TARROW"
mkdir -p "$programs/QKCOMUSB" "$programs/QKCommandEmulator"
cp -f "$STAGE/TarrowPA.exe" "$programs/QKCOMUSB/"
cp -f "$STAGE/JrnlView.exe" "$programs/QKCommandEmulator/"
echo "$PORT"
