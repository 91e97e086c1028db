"""Drives the real program for the end-to-end suites, the soak run, the start-up timer and the
packaging checks: processes in their own groups, a virtual display, a private sound server,
input, pictures and the analysis of recorded sound."""
