#!/usr/bin/env python3
"""The demo's hands (tools/demo/session.sh): with kvrconfig.exe running in the current prefix,

    demo_search.py search   presses "STEP 1 - Printer Search", waits for the search to end and
                            for the list to be filled, and prints the rows;
    demo_search.py exit     presses "EXIT" and waits for the program to end.

Needs KVR_WINE and KVRDRIVE_EXE.
"""

import sys

from driver import IDOK, Driver
from session import IDC_PRINTER_LIST, IDC_SEARCH, MAIN_TITLE, SEARCH_TITLE


def search(driver, main, pid):
    driver.click(main, IDC_SEARCH)
    dialog, _ = driver.wait_window(SEARCH_TITLE, 10, pid)
    driver.wait_gone(dialog, 20)
    driver.send_timeout(120)  # a long list takes the program a while to fill
    rows = driver.lv_cells(main, IDC_PRINTER_LIST)
    print(f"search found {len(rows)} printer(s):")
    for row in rows:
        print("  " + " | ".join(row))


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in ("search", "exit"):
        sys.exit("usage: demo_search.py search|exit")
    with Driver() as driver:
        main_window, pid = driver.wait_window(MAIN_TITLE, 30)
        if sys.argv[1] == "search":
            search(driver, main_window, pid)
        else:
            driver.click(main_window, IDOK)
            driver.wait_gone(main_window, 10)


if __name__ == "__main__":
    main()
