"""Where the controls of a stored window layout lie, in window coordinates."""

import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RESOURCES = os.path.join(ROOT, "resources")
_OPEN = re.compile(r"^\s*(T\w+)\s+(\w+)\s*\{\s*$")
_VALUE = re.compile(r"^\s*([\w.]+)\s*=\s*(.*?)\s*$")


class Layout:
    """The controls of one layout file by name: `rect(name)` is (x, y, width, height) in the
    window. A panel with a single border keeps its children 2 pixels inside it."""

    def __init__(self, name="Form1.layout"):
        self.rects = {}
        self.nodes = {}  # name: class, properties, place in its parent
        stack = []  # the open controls
        with open(os.path.join(RESOURCES, name), encoding="utf-8") as f:
            lines = f.read().splitlines()
        in_data = False  # a binary value in braces
        for line in lines:
            if in_data:
                in_data = line.strip() != "}"
                continue
            opened = _OPEN.match(line)
            if opened:
                stack.append({"class": opened.group(1), "name": opened.group(2), "props": {}})
                continue
            if line.rstrip().endswith("= {"):
                in_data = True
                continue
            if line.strip() == "}":
                node = stack.pop()
                self._place(node, stack)
                continue
            value = _VALUE.match(line)
            if value and stack:
                stack[-1]["props"][value.group(1)] = value.group(2)
        # Children were placed relative to their parents; count them from the window instead.
        self._absolute()

    def _place(self, node, parents):
        props = node["props"]
        number = lambda key: int(props.get(key, "0")) if props.get(key, "0").lstrip("-").isdigit() else 0
        node["local"] = (number("Left"), number("Top"), number("Width") or number("ClientWidth"),
                         number("Height") or number("ClientHeight"))
        node["inset"] = 2 if props.get("BorderStyle") == "bsSingle" and node["class"] == "TPanel" else 0
        node["parent"] = parents[-1]["name"] if parents else None
        self.nodes[node["name"]] = node

    def _absolute(self):
        def client_origin(name):
            """Where the children of `name` are counted from; the form's own place is on the screen."""
            node = self.nodes[name]
            if node["parent"] is None:
                return 0, 0
            x, y = place(name)
            return x + node["inset"], y + node["inset"]

        def place(name):
            node = self.nodes[name]
            px, py = client_origin(node["parent"])
            return px + node["local"][0], py + node["local"][1]

        for name, node in self.nodes.items():
            x, y = place(name) if node["parent"] is not None else (0, 0)
            self.rects[name] = (x, y, node["local"][2], node["local"][3])

    def rect(self, name):
        return self.rects[name]

    def origin(self, name, dx=0, dy=0):
        """The control's top-left pixel, moved by (dx, dy)."""
        x, y, _, _ = self.rects[name]
        return x + dx, y + dy

    def centre(self, name):
        x, y, w, h = self.rects[name]
        return x + w // 2, y + h // 2

    def left_middle(self, name, dx):
        """A point dx pixels right of the control's left edge, half-way down: the mark of a radio
        button or a check box."""
        x, y, _, h = self.rects[name]
        return x + dx, y + h // 2
