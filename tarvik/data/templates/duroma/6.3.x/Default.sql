CREATE TABLE info(version);
INSERT INTO info VALUES(16);
CREATE TABLE parameters(name UNIQUE, value);
CREATE TABLE vek_tarvik(version, camera_type UNIQUE DEFAULT NULL);
INSERT INTO vek_tarvik VALUES(1, 'TARVIK_CAMERA_DUROMA');
