#!/usr/bin/python3
"""A real VISA client (pyvisa with the pyvisa-py backend) against tq4700-sim.

Usage: pyvisa_client.py PATH-TO-tq4700-sim
Starts the server on a free loopback port, opens it as a SOCKET resource,
asks for the identity and runs one two-channel scan as the front panel does.
Exits 77 (skipped) when this python has no pyvisa.
"""

import subprocess
import sys
import time

SKIP = 77

try:
    import pyvisa
except ImportError as error:
    print(f"SKIP: {sys.executable} cannot import pyvisa ({error}); "
          "run it with /usr/bin/python3 and python3-pyvisa-py installed")
    sys.exit(SKIP)


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def main():
    server = subprocess.Popen([sys.argv[1], "--port", "0"], stdout=subprocess.PIPE, text=True)
    try:
        first = server.stdout.readline()
        port = int(first.rsplit(":", 1)[1])
        rm = pyvisa.ResourceManager("@py")
        meter = rm.open_resource(f"TCPIP0::127.0.0.1::{port}::SOCKET",
                                 read_termination="\n", write_termination="\n", timeout=2000)

        identity = meter.query("*IDN?")
        if not identity.startswith("VARANDEL,TQ4700"):
            fail(f"identity {identity!r}")
        if meter.query("Rout:state?") != "1":
            fail("no scanner card reported")

        for line in ["Route:scan:count 2", "TRIG:DEL 0.001", "ROUT:SCAN:TIMER 0.01",
                     'rout:scan:func 1,"VOLT:DC"', "SENS:VOLT:DC:RANG 10",
                     'rout:scan:func 2,"RES"', "SENS:RES:RANG  10000", "SENS:RES:NPLC 1",
                     "ROUT:SCAN:STEP"]:
            meter.write(line)
        deadline = time.monotonic() + 10
        while int(meter.query("Rout:scan:state?")) < 2:
            if time.monotonic() > deadline:
                fail("scan never completed")
            time.sleep(0.05)

        fields = meter.query("fetch?").split(",")
        if len(fields) != 2 or any(len(field) != 15 for field in fields):
            fail(f"fetch fields {fields!r}")
        volts, ohms = (float(field) for field in fields)
        if abs(volts) > 12 or not 900 < ohms < 1100:
            fail(f"readings {volts} V, {ohms} ohm")
        error = meter.query("SYST:ERR?")
        if error != '+0,"No error"':
            fail(f"error queue {error!r}")

        meter.write("system:local")
        meter.close()
        rm.close()
        print(f"OK: {identity}; scan {volts} V, {ohms} ohm")
    finally:
        server.terminate()
        server.wait(timeout=10)


if __name__ == "__main__":
    main()
